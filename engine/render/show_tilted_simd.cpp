// Fast path of rv_ShowTilted for 3-byte screens: the picture is drawn a block
// of columns at a time, all slices and the sky, into a tile in the cache.
#include "show_rows_simd.h"

namespace {

using namespace relvane::fast;
using relvane::PixelWord;
using relvane::surface_row;
typedef int32_t __attribute__((may_alias)) TopWord;


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
constexpr int32_t max_tile_rows = 4096;

struct TiltedFrame {
    const rv_Surface *surface;
    int32_t h, nr;
    uint32_t sine, cosine;
    Shifts shifts;
};

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

}  // namespace

namespace relvane::fast {

bool show_tilted(rv_Surface *surface, SDL_Surface *screen, const ScreenLayout &l, int32_t h, int32_t sine,
                 int32_t cosine) {
    if (l.bytes != 3 || h > max_tile_rows || !pixel_aligned(surface->pixels)) return false;
    const int32_t w = l.w;
    const int32_t nr = surface->height == h ? h - 2 : h - 1;
    if (nr >= 0) {
        rv_Pixel *front = surface_row(surface, nr);
        for (int32_t x = 0; x < w; ++x) front[x].light = 0;
    }
    const TiltedFrame v{surface, h, nr, static_cast<uint32_t>(sine), static_cast<uint32_t>(cosine),
                        {static_cast<uint32_t>(l.r * 8), static_cast<uint32_t>(l.g * 8), static_cast<uint32_t>(l.b * 8)}};
    auto *tops_out = reinterpret_cast<TopWord *>(surface_row(surface, surface->height - 1));
    alignas(32) uint32_t tile[(max_tile_rows + 1) * block];  // a spare row below
    int32_t tops[block];
    for (int32_t x0 = 0; x0 < w; x0 += block) {
        const int32_t n = std::min(block, w - x0);
        draw_block(v, x0, n, tile, tops);
        for (int32_t y = 0; y < h; ++y) put_pixels(tile + y * block, screen_row(screen, y) + 3 * static_cast<ptrdiff_t>(x0), n);
        for (int32_t i = 0; i < n; ++i) tops_out[x0 + i] = tops[i];
    }
    return true;
}

}  // namespace relvane::fast
