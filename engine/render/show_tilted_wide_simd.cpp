// The tilted view's block of columns sixteen lanes wide, on processors with
// 512-bit vectors: masks choose the lanes, and tile rows are stored only in
// the lanes that paint.
// The compiler takes the undefined upper parts of 512-bit intrinsics for
// uninitialised values.
#pragma GCC diagnostic ignored "-Wuninitialized"
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#define TILTED_TARGET __attribute__((target("avx512f,avx512bw")))
#include "show_tilted_block.h"

namespace relvane::fast {

#if defined(__x86_64__)
namespace {

#define AVX512 [[gnu::always_inline]] static inline TILTED_TARGET

struct Lanes16 {
    using Vec = __m512i;
    using Mask = __mmask16;
    static constexpr int32_t lanes = 16;

    AVX512 Vec splat(int32_t v) { return _mm512_set1_epi32(v); }
    AVX512 Vec add(Vec a, Vec b) { return _mm512_add_epi32(a, b); }
    AVX512 Vec sub(Vec a, Vec b) { return _mm512_sub_epi32(a, b); }
    AVX512 Vec max(Vec a, Vec b) { return _mm512_max_epi32(a, b); }
    AVX512 Vec mullo(Vec a, Vec b) { return _mm512_mullo_epi32(a, b); }
    AVX512 Vec srli(Vec a, unsigned n) { return _mm512_srli_epi32(a, n); }
    AVX512 Vec srai(Vec a, unsigned n) { return _mm512_srai_epi32(a, n); }
    AVX512 Mask greater(Vec a, Vec b) { return _mm512_cmpgt_epi32_mask(a, b); }
    AVX512 Mask equal(Vec a, Vec b) { return _mm512_cmpeq_epi32_mask(a, b); }
    AVX512 Mask both(Mask a, Mask b) { return static_cast<Mask>(a & b); }
    AVX512 bool none(Mask m) { return m == 0; }
    AVX512 Vec select(Mask m, Vec yes, Vec no) { return _mm512_mask_blend_epi32(m, no, yes); }
    // Stores v in the lanes where low <= y <= high.
    AVX512 void store_between(Vec *row, Vec low, Vec y, Vec high, Vec v) {
        _mm512_mask_store_epi32(row, _mm512_mask_cmple_epi32_mask(_mm512_cmple_epi32_mask(low, y), y, high), v);
    }
    AVX512 void store_tops(TopWord *to, Vec tops) { _mm512_storeu_si512(to, tops); }
    AVX512 Vec order(const uint8_t *o) { return _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i *>(o))); }

    // Colour words and light/z words of sixteen pixels.
    AVX512 void pixels(const rv_Pixel *p, Vec &rgba, Vec &lz) {
        const Vec a = _mm512_loadu_si512(p), b = _mm512_loadu_si512(p + 8);
        const Vec even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
        rgba = _mm512_permutex2var_epi32(a, even, b);
        lz = _mm512_permutex2var_epi32(a, add(even, splat(1)), b);
    }

    // A byte shuffle doing the same within each 32-bit lane: pattern holds
    // the byte indices for lane 0 (0x80 for a zero byte).
    AVX512 Vec each_lane(uint32_t pattern) {
        const Vec offsets = _mm512_broadcast_i32x4(_mm_setr_epi32(0, 0x04040404, 0x08080808, 0x0C0C0C0C));
        return _mm512_add_epi8(splat(static_cast<int32_t>(pattern)), offsets);
    }

    // Lit colours (red, green, blue bytes, top byte 0). A channel in the high
    // byte of a 16-bit lane times light, high half, is (channel * light) >> 8.
    AVX512 Vec lit(Vec rgba, Vec lz) {
        const Vec light = _mm512_shuffle_epi8(lz, each_lane(0x01000100));  // in both halves
        const Vec byte = _mm512_set1_epi16(0xFF);
        const Vec red_blue = _mm512_min_epu16(_mm512_mulhi_epu16(_mm512_slli_epi16(rgba, 8), light), byte);
        const Vec green = _mm512_min_epu16(_mm512_mulhi_epu16(_mm512_and_si512(rgba, splat(0xFF00)), light), byte);
        return _mm512_or_si512(red_blue, _mm512_slli_epi16(green, 8));
    }

    // Per byte (over * f + under * (255 - f)) >> 8 with f the low byte of each
    // 32-bit lane of weights; 16-bit lanes cannot carry as 255 * 255 < 65536.
    AVX512 Vec mix(Vec over, Vec under, Vec weights) {
        const Vec low = splat(0x00FF00FF);
        const Vec w = _mm512_shuffle_epi8(weights, each_lane(0x80008000u)), u = _mm512_sub_epi16(low, w);
        const Vec even = _mm512_srli_epi16(_mm512_add_epi16(_mm512_mullo_epi16(_mm512_and_si512(over, low), w),
                                                            _mm512_mullo_epi16(_mm512_and_si512(under, low), u)),
                                           8);
        const Vec odd = _mm512_add_epi16(_mm512_mullo_epi16(_mm512_srli_epi16(over, 8), w),
                                         _mm512_mullo_epi16(_mm512_srli_epi16(under, 8), u));
        return _mm512_or_si512(even, _mm512_andnot_si512(low, odd));
    }

    // The smallest `low` and the largest `high` over the lanes set (values
    // 0..65535; at least one lane set).
    AVX512 void lane_range(Mask set, Vec low, Vec high, int32_t &least, int32_t &most) {
        // Both minima in one pass: low in the bottom half, 65535 - high on top.
        Vec key = _mm512_or_si512(low, _mm512_slli_epi32(sub(splat(0xFFFF), high), 16));
        key = _mm512_mask_mov_epi32(splat(-1), set, key);
        const __m256i k256 = _mm256_min_epu16(_mm512_castsi512_si256(key), _mm512_extracti64x4_epi64(key, 1));
        __m128i m = _mm_min_epu16(_mm256_castsi256_si128(k256), _mm256_extracti128_si256(k256, 1));
        m = _mm_min_epu16(m, _mm_shuffle_epi32(m, 0x4E));
        m = _mm_min_epu16(m, _mm_shuffle_epi32(m, 0xB1));
        const auto k = static_cast<uint32_t>(_mm_cvtsi128_si32(m));
        least = static_cast<int32_t>(k & 0xFFFF);
        most = 0xFFFF - static_cast<int32_t>(k >> 16);
    }

    // Stores sixteen tile colours as 48 screen bytes; order puts each 16-byte
    // lane's channels in screen order and drops its top bytes.
    AVX512 void put(Vec colours, Vec order, uint8_t *dst) {
        const Vec bytes = _mm512_permutexvar_epi32(_mm512_setr_epi32(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 15, 15, 15, 15),
                                                   _mm512_shuffle_epi8(colours, order));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst), _mm512_castsi512_si256(bytes));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 32), _mm512_extracti32x4_epi32(bytes, 2));
    }
};
#undef AVX512

const bool have_avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");

}  // namespace

bool have_block16() { return have_avx512; }

void show_block16(const TiltedFrame &v, SDL_Surface *screen, int32_t x0, uint32_t *tile, TopWord *tops_out) {
    show_block<Lanes16>(v, screen, x0, reinterpret_cast<__m512i *>(tile), tops_out);
}
#else
bool have_block16() { return false; }
void show_block16(const TiltedFrame &, SDL_Surface *, int32_t, uint32_t *, TopWord *) {}
#endif

}  // namespace relvane::fast
