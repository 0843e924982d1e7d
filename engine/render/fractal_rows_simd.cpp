// Compact rows of the fractal fast path. At half spacing 1 every pixel of a
// row is a grid point and sixteen pixels at a time are split or merged in
// vector lanes; coarser rows are copied point by point.
#include "fractal_rows.h"

#include <immintrin.h>

namespace {

void load_points(const rv_Pixel *p, int64_t stride, int32_t *out, int64_t n) {
    for (int64_t j = 0; j < n; j++) out[j] = p[j * stride].z;
}

void store_points(rv_Pixel *p, int64_t stride, const int32_t *v, int64_t n) {
    for (int64_t j = 0; j < n; j++) p[j * stride].z = static_cast<uint16_t>(v[j]);
}

#if defined(__x86_64__)
// Pixels are 64-bit lanes with z in their top 16 bits. Two 4-pixel vectors
// combine into [z0 z4 z1 z5 | z2 z6 z3 z7]; two such into the even and the
// odd z's in the order 0 4 8 12 | 2 6 10 14, which `order` sorts.
__attribute__((target("avx2"))) void load_pairs(const rv_Pixel *p, int32_t *even, int32_t *odd, int64_t blocks) {
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    const auto *v = reinterpret_cast<const __m256i *>(p);
    for (int64_t b = 0; b < blocks; b++, v += 4) {
        const __m256i lo = _mm256_blend_epi32(_mm256_srli_epi64(_mm256_loadu_si256(v), 48),
                                              _mm256_srli_epi64(_mm256_loadu_si256(v + 1), 16), 0xAA);
        const __m256i hi = _mm256_blend_epi32(_mm256_srli_epi64(_mm256_loadu_si256(v + 2), 48),
                                              _mm256_srli_epi64(_mm256_loadu_si256(v + 3), 16), 0xAA);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(even + 8 * b),
                            _mm256_permutevar8x32_epi32(_mm256_unpacklo_epi64(lo, hi), order));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(odd + 8 * b),
                            _mm256_permutevar8x32_epi32(_mm256_unpackhi_epi64(lo, hi), order));
    }
}

// The reverse of load_pairs; each z goes into its pixel's top 16 bits.
__attribute__((target("avx2"))) void store_pairs(rv_Pixel *p, const int32_t *even, const int32_t *odd,
                                                 int64_t blocks) {
    const __m256i unorder = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    auto *v = reinterpret_cast<__m256i *>(p);
    for (int64_t b = 0; b < blocks; b++, v += 4) {
        const __m256i e = _mm256_permutevar8x32_epi32(
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(even + 8 * b)), unorder);
        const __m256i o = _mm256_permutevar8x32_epi32(
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(odd + 8 * b)), unorder);
        const __m256i lo = _mm256_unpacklo_epi64(e, o), hi = _mm256_unpackhi_epi64(e, o);
        const __m256i z[4] = {_mm256_slli_epi64(lo, 48), _mm256_slli_epi64(lo, 16), _mm256_slli_epi64(hi, 48),
                              _mm256_slli_epi64(hi, 16)};
        for (int k = 0; k < 4; k++) _mm256_storeu_si256(v + k, _mm256_blend_epi16(_mm256_loadu_si256(v + k), z[k], 0x88));
    }
}

const bool have_avx2 = __builtin_cpu_supports("avx2");
#endif

}  // namespace

namespace relvane::fast {

void load_grid_row(const rv_Pixel *p, int64_t h, int32_t *even, int64_t n_even, int32_t *odd, int64_t n_odd) {
    int64_t done = 0;
#if defined(__x86_64__)
    if (h == 1 && have_avx2) {
        done = 8 * (n_odd / 8);
        load_pairs(p, even, odd, done / 8);
    }
#endif
    load_points(p + 2 * h * done, 2 * h, even + done, n_even - done);
    load_points(p + h + 2 * h * done, 2 * h, odd + done, n_odd - done);
}

void store_grid_row(rv_Pixel *p, int64_t h, const int32_t *even, int64_t n_even, const int32_t *odd, int64_t n_odd) {
    int64_t done = 0;
#if defined(__x86_64__)
    if (h == 1 && have_avx2) {
        done = 8 * (n_odd / 8);
        store_pairs(p, even, odd, done / 8);
    }
#endif
    store_points(p + 2 * h * done, 2 * h, even + done, n_even - done);
    store_points(p + h + 2 * h * done, 2 * h, odd + done, n_odd - done);
}

}  // namespace relvane::fast
