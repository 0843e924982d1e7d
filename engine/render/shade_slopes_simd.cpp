// Fast path of rv_ShadeSlopes: the same single-precision steps in 32-bit
// lanes, so that the square roots vectorise (this file is built without
// errno for sqrtf; the results are the same).
#include <immintrin.h>

#include <cmath>

#include "render_fast.h"
#include "../core/float_convert.h"
#include "../core/surface_rows.h"

namespace {

using relvane::PixelWord;

// Heights are the high half of a pixel's second word, light the low half.
__attribute__((target_clones("avx2", "default")))
void shade_row(PixelWord *row, const PixelWord *below, int32_t n, int32_t rise, int32_t floor) {
    for (int32_t x = 0; x < n; ++x) {
        const auto a = static_cast<int32_t>(row[2 * x + 1] >> 16);
        const auto b = static_cast<int32_t>(row[2 * x + 3] >> 16);
        const auto c = static_cast<int32_t>(below[2 * x + 1] >> 16);
        const auto d = static_cast<int32_t>(below[2 * x + 3] >> 16);
        const auto u = static_cast<float>(b - c);
        const auto v = static_cast<float>(d - a - rise);
        const auto m = static_cast<int32_t>(0.5f * sqrtf(v * v + u * u));
        int32_t factor = 384 - m;
        factor = factor < floor ? floor : factor;
        factor = factor < 0 ? 0 : factor;
        const uint32_t word = row[2 * x + 1];
        uint32_t lit = (static_cast<uint32_t>(factor) * (word & 0xFFFFu)) >> 8;
        lit = lit > 65535u ? 65535u : lit;
        row[2 * x + 1] = (word & 0xFFFF0000u) | lit;
    }
}

#if defined(__x86_64__)
// Heights (high halves) and light/height words of eight pixels from p on, in
// the lane order of the shuffle; every operand takes the same order.
struct Words {
    __m256i rgba, lz;
};

__attribute__((target("avx2"))) inline Words load_words(const PixelWord *p) {
    const __m256 v0 = _mm256_castsi256_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(p)));
    const __m256 v1 = _mm256_castsi256_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 8)));
    return {_mm256_castps_si256(_mm256_shuffle_ps(v0, v1, 0x88)), _mm256_castps_si256(_mm256_shuffle_ps(v0, v1, 0xDD))};
}

__attribute__((target("avx2"))) inline void store_words(PixelWord *p, Words w) {
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(p), _mm256_unpacklo_epi32(w.rgba, w.lz));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(p + 8), _mm256_unpackhi_epi32(w.rgba, w.lz));
}

// The same steps eight pixels at a time; whole pixels are stored back.
__attribute__((target("avx2"))) void shade_row_avx2(PixelWord *row, const PixelWord *below, int32_t n, int32_t rise,
                                                    int32_t floor) {
    const __m256i rise_v = _mm256_set1_epi32(rise), floor_v = _mm256_set1_epi32(floor);
    const __m256i c384 = _mm256_set1_epi32(384), low16 = _mm256_set1_epi32(0xFFFF), zero = _mm256_setzero_si256();
    const __m256 half = _mm256_set1_ps(0.5f);
    int32_t x = 0;
    for (; x + 8 <= n; x += 8) {
        Words here = load_words(row + 2 * x);
        const __m256i a = _mm256_srli_epi32(here.lz, 16);
        const __m256i b = _mm256_srli_epi32(load_words(row + 2 * x + 2).lz, 16);
        const __m256i c = _mm256_srli_epi32(load_words(below + 2 * x).lz, 16);
        const __m256i d = _mm256_srli_epi32(load_words(below + 2 * x + 2).lz, 16);
        const __m256 u = _mm256_cvtepi32_ps(_mm256_sub_epi32(b, c));
        const __m256 v = _mm256_cvtepi32_ps(_mm256_sub_epi32(_mm256_sub_epi32(d, a), rise_v));
        const __m256i m = _mm256_cvttps_epi32(
            _mm256_mul_ps(half, _mm256_sqrt_ps(_mm256_add_ps(_mm256_mul_ps(v, v), _mm256_mul_ps(u, u)))));
        const __m256i factor = _mm256_max_epi32(_mm256_max_epi32(_mm256_sub_epi32(c384, m), floor_v), zero);
        const __m256i lit = _mm256_min_epu32(
            _mm256_srli_epi32(_mm256_mullo_epi32(factor, _mm256_and_si256(here.lz, low16)), 8), low16);
        here.lz = _mm256_or_si256(_mm256_andnot_si256(low16, here.lz), lit);
        store_words(row + 2 * x, here);
    }
    shade_row(row + 2 * x, below + 2 * x, n - x, rise, floor);
}

#endif

}  // namespace

namespace relvane::fast {

// rise and floor as the plain code computes them. Every value stays exact in
// 32-bit lanes while |rise| < 2^23 (heights differ by less than 2^17, so the
// float conversions are exact) and floor <= 384 (factor * light < 2^25; a
// negative factor and a factor of 0 both leave light 0).
bool shade_slopes(rv_Surface *surface, int64_t rise, int64_t floor) {
    if (rise <= -(1 << 23) || rise >= (1 << 23) || floor > 384) return false;
    const int32_t w = surface->width, h = surface->height;
    const auto f = static_cast<int32_t>(floor < -1 ? -1 : floor);
    auto row_op = shade_row;
#if defined(__x86_64__)
    if (has_avx2()) row_op = shade_row_avx2;
#endif
    for (int32_t y = 0; y < h - 1; ++y)
        row_op(reinterpret_cast<PixelWord *>(surface_row(surface, y)),
                  reinterpret_cast<const PixelWord *>(surface_row(surface, y + 1)), w - 1,
                  static_cast<int32_t>(rise), f);
    return true;
}

}  // namespace relvane::fast
