// Fast path of rv_ShowTilted for 3-byte screens: the picture is drawn a block
// of columns at a time, all slices and the sky, into a tile in the cache.
#include <immintrin.h>

#define TILTED_TARGET __attribute__((target("avx2")))
#include "show_tilted_block.h"

namespace {

using namespace relvane::fast;
using relvane::PixelWord;
using relvane::screen_row;
using relvane::surface_row;


inline uint32_t lit(uint32_t channel, uint32_t light) {
    const uint32_t v = (channel * light) >> 8;
    return v > 255 ? 255 : v;
}

// Tops and packed lit colours of n (up to a block) pixels of one slice.
[[gnu::always_inline]] inline void slice_block(const PixelWord *src, int32_t n, uint32_t offset, uint32_t c,
                                               int32_t bottom, Shifts s, int32_t *top, uint32_t *colour) {
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t rgba = src[2 * i], lz = src[2 * i + 1];
        const uint32_t light = lz & 0xFFFFu;
        const uint32_t rise = (offset + ((c * (lz >> 16)) >> 8)) >> 8;  // below 2^24
        top[i] = bottom - static_cast<int32_t>(rise);
        colour[i] = s.pack(lit(rgba & 0xFF, light), lit((rgba >> 8) & 0xFF, light), lit((rgba >> 16) & 0xFF, light));
    }
}

// Mixes over into under with weight f of 255, byte by byte, the three bytes
// in 16-bit lanes of one word (no lane can carry: 255 * 255 < 65536).
inline uint32_t mix(uint32_t over, uint32_t under, int32_t f) {
    auto spread = [](uint64_t v) { return (v & 0xFF) | (v & 0xFF00) << 8 | (v & 0xFF0000) << 16; };
    const auto w = static_cast<uint64_t>(f);
    const uint64_t m = ((spread(over) * w + spread(under) * (255 - w)) >> 8) & 0xFF00FF00FFull;
    return static_cast<uint32_t>((m & 0xFF) | (m >> 8 & 0xFF00) | (m >> 16 & 0xFF0000));
}

// A block of columns drawn into a row-major tile that stays in the cache:
// every shown pixel of a column is written (terrain from its top down, sky
// above), so the tile goes to the screen whole.
constexpr int32_t block = 8;

__attribute__((target_clones("avx2", "default")))
void draw_block(const TiltedFrame &v, int32_t x0, int32_t n, uint32_t *tile, int32_t *tops) {
    const int32_t h = v.h;
    int32_t top_b[block];
    uint32_t colour_b[block];
    for (int32_t i = 0; i < n; ++i) tops[i] = h * 256;
    uint32_t offset = 0;
    for (int32_t j = 0; j <= v.nr; ++j, offset += v.sine) {
        const auto *row = reinterpret_cast<const PixelWord *>(surface_row(v.surface, v.nr - j) + x0);
        slice_block(row, n, offset, v.cosine, (h - 1) * 256, v.shifts, top_b, colour_b);
        // Branch-free for the usual case of at most two rows to paint: the
        // rows are rewritten with their own value where nothing is drawn.
        for (int32_t i = 0; i < n; ++i) {
            const int32_t old = tops[i];
            const bool visible = top_b[i] < old;
            const int32_t top = std::max(top_b[i], 0);
            const int32_t from = top >> 8, to = old >> 8;
            const int32_t rows = visible ? to - from : 0;
            const uint32_t colour = colour_b[i];
            uint32_t *column = tile + i;
            uint32_t &first = column[from * block];
            first = rows > 0 ? colour : first;
            uint32_t &second = column[(from + 1) * block];
            second = rows > 1 ? colour : second;
            if (rows > 2) [[unlikely]]
                for (int32_t y = from + 2; y < to; ++y) column[y * block] = colour;
            uint32_t &edge = column[to * block];
            edge = visible && to <= h - 2 ? mix(colour, edge, old & 255) : edge;
            tops[i] = visible ? top : old;
        }
    }
    const uint32_t sky = v.shifts.pack(64, 64, 96);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t t = tops[i];
        for (int32_t y = 0; y < t >> 8; ++y) tile[y * block + i] = sky;
        if ((t >> 8) <= h - 2) tile[(t >> 8) * block + i] = mix(sky, tile[(t >> 8) * block + i], t & 255);
    }
}


#if defined(__x86_64__)
// Eight columns with vector operations: one tile row is one vector of eight
// colours, kept in surface channel order (red in the low byte) until the
// screen store puts the bytes in the screen's order.
#define AVX2 [[gnu::always_inline]] static inline __attribute__((target("avx2")))

struct Lanes8 {
    using Vec = __m256i;
    using Mask = __m256i;  // all ones in the lanes that are set
    static constexpr int32_t lanes = 8;

    AVX2 Vec splat(int32_t v) { return _mm256_set1_epi32(v); }
    AVX2 Vec add(Vec a, Vec b) { return _mm256_add_epi32(a, b); }
    AVX2 Vec sub(Vec a, Vec b) { return _mm256_sub_epi32(a, b); }
    AVX2 Vec max(Vec a, Vec b) { return _mm256_max_epi32(a, b); }
    AVX2 Vec mullo(Vec a, Vec b) { return _mm256_mullo_epi32(a, b); }
    AVX2 Vec srli(Vec a, int n) { return _mm256_srli_epi32(a, n); }
    AVX2 Vec srai(Vec a, int n) { return _mm256_srai_epi32(a, n); }
    AVX2 Mask greater(Vec a, Vec b) { return _mm256_cmpgt_epi32(a, b); }
    AVX2 Mask equal(Vec a, Vec b) { return _mm256_cmpeq_epi32(a, b); }
    AVX2 Mask both(Mask a, Mask b) { return _mm256_and_si256(a, b); }
    AVX2 Mask either(Mask a, Mask b) { return _mm256_or_si256(a, b); }
    AVX2 bool none(Mask m) { return _mm256_testz_si256(m, m); }
    AVX2 Vec select(Mask m, Vec yes, Vec no) { return _mm256_blendv_epi8(no, yes, m); }
    // Stores v in the lanes where low <= y <= high.
    AVX2 void store_between(Vec *row, Vec low, Vec y, Vec high, Vec v) {
        _mm256_store_si256(row, select(either(greater(low, y), greater(y, high)), *row, v));
    }
    AVX2 void store_tops(TopWord *to, Vec tops) { _mm256_storeu_si256(reinterpret_cast<__m256i *>(to), tops); }
    AVX2 Vec order(const uint8_t *o) { return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(o)); }

    // Colour words and light/z words of eight pixels.
    AVX2 void pixels(const rv_Pixel *p, Vec &rgba, Vec &lz) {
        const auto *src = reinterpret_cast<const __m256i *>(p);
        const __m256 a = _mm256_castsi256_ps(_mm256_loadu_si256(src));
        const __m256 b = _mm256_castsi256_ps(_mm256_loadu_si256(src + 1));
        lz = _mm256_permute4x64_epi64(_mm256_castps_si256(_mm256_shuffle_ps(a, b, 0xDD)), 0xD8);
        rgba = _mm256_permute4x64_epi64(_mm256_castps_si256(_mm256_shuffle_ps(a, b, 0x88)), 0xD8);
    }

    // A byte shuffle doing the same within each 32-bit lane: pattern holds
    // the byte indices for lane 0 (0x80 for a zero byte).
    AVX2 Vec each_lane(uint32_t pattern) {
        const __m256i offsets =
            _mm256_setr_epi32(0, 0x04040404, 0x08080808, 0x0C0C0C0C, 0, 0x04040404, 0x08080808, 0x0C0C0C0C);
        return _mm256_add_epi8(splat(static_cast<int32_t>(pattern)), offsets);
    }

    // Lit colours (red, green, blue bytes, top byte 0). A channel in the high
    // byte of a 16-bit lane times light, high half, is (channel * light) >> 8.
    AVX2 Vec lit(Vec rgba, Vec lz) {
        const __m256i light = _mm256_shuffle_epi8(lz, each_lane(0x01000100));  // in both halves
        const __m256i byte = _mm256_set1_epi16(0xFF);
        const __m256i red_blue = _mm256_min_epu16(_mm256_mulhi_epu16(_mm256_slli_epi16(rgba, 8), light), byte);
        const __m256i green = _mm256_min_epu16(_mm256_mulhi_epu16(_mm256_and_si256(rgba, splat(0xFF00)), light), byte);
        return _mm256_or_si256(red_blue, _mm256_slli_epi16(green, 8));
    }

    // Per byte (over * f + under * (255 - f)) >> 8 with f the low byte of each
    // 32-bit lane of weights; 16-bit lanes cannot carry as 255 * 255 < 65536.
    AVX2 Vec mix(Vec over, Vec under, Vec weights) {
        const __m256i low = splat(0x00FF00FF);
        const __m256i w = _mm256_shuffle_epi8(weights, each_lane(0x80008000u)), u = _mm256_sub_epi16(low, w);
        const __m256i even = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(over, low), w),
                                                                _mm256_mullo_epi16(_mm256_and_si256(under, low), u)),
                                               8);
        const __m256i odd = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(over, 8), w),
                                             _mm256_mullo_epi16(_mm256_srli_epi16(under, 8), u));
        return _mm256_or_si256(even, _mm256_andnot_si256(low, odd));
    }

    // The smallest `low` and the largest `high` over the lanes set (values
    // 0..65535; at least one lane set).
    AVX2 void lane_range(Mask set, Vec low, Vec high, int32_t &least, int32_t &most) {
        // Both minima in one pass: low in the bottom half, 65535 - high on top.
        __m256i key = _mm256_or_si256(low, _mm256_slli_epi32(_mm256_sub_epi32(splat(0xFFFF), high), 16));
        key = _mm256_or_si256(key, _mm256_xor_si256(set, splat(-1)));
        __m128i m = _mm_min_epu16(_mm256_castsi256_si128(key), _mm256_extracti128_si256(key, 1));
        m = _mm_min_epu16(m, _mm_shuffle_epi32(m, 0x4E));
        m = _mm_min_epu16(m, _mm_shuffle_epi32(m, 0xB1));
        const auto k = static_cast<uint32_t>(_mm_cvtsi128_si32(m));
        least = static_cast<int32_t>(k & 0xFFFF);
        most = 0xFFFF - static_cast<int32_t>(k >> 16);
    }

    // Stores eight tile colours as 24 screen bytes; order puts each 16-byte
    // lane's channels in screen order and drops its top bytes.
    AVX2 void put(Vec colours, Vec order, uint8_t *dst) { put_eight(colours, order, dst); }
};
#undef AVX2

#endif

}  // namespace

namespace relvane::fast {

bool show_tilted(rv_Surface *surface, SDL_Surface *screen, const ScreenLayout &l, int32_t h, int32_t sine,
                 int32_t cosine) {
    if (l.bytes != 3 || l.r == l.g || l.g == l.b || l.r == l.b) return false;
    if (h > max_tile_rows || !pixel_aligned(surface->pixels)) return false;
    const int32_t w = l.w;
    const int32_t nr = surface->height == h ? h - 2 : h - 1;
    if (nr >= 0) {
        rv_Pixel *front = surface_row(surface, nr);
        for (int32_t x = 0; x < w; ++x) front[x].light = 0;
    }
    TiltedFrame v{surface, h, nr, static_cast<uint32_t>(sine), static_cast<uint32_t>(cosine),
                  {static_cast<uint32_t>(l.r * 8), static_cast<uint32_t>(l.g * 8), static_cast<uint32_t>(l.b * 8)}, {}};
    screen_order(v.shifts, v.order);
    auto *tops_out = reinterpret_cast<TopWord *>(surface_row(surface, surface->height - 1));
    alignas(64) uint32_t tile[(max_tile_rows + min_run) * 2 * block];  // spare rows below
    int32_t tops[block];
    int32_t x0 = 0;
#if defined(__x86_64__)
    if (wide_vectors_enabled() && have_block16())
        for (; x0 + 2 * block <= w; x0 += 2 * block) show_block16(v, screen, x0, tile, tops_out);
    if (has_avx2())
        for (; x0 + block <= w; x0 += block)
            show_block<Lanes8>(v, screen, x0, reinterpret_cast<__m256i *>(tile), tops_out);
#endif
    for (; x0 < w; x0 += block) {
        const int32_t n = std::min(block, w - x0);
        draw_block(v, x0, n, tile, tops);
        for (int32_t y = 0; y < h; ++y)
            put_pixels(tile + y * block, screen_row(screen, y) + 3 * static_cast<ptrdiff_t>(x0), n);
        for (int32_t i = 0; i < n; ++i) tops_out[x0 + i] = tops[i];
    }
    return true;
}

}  // namespace relvane::fast
