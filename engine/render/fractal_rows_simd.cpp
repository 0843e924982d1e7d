// Compact rows of the fractal fast path. At half spacing 1 and 2 sixteen
// grid points at a time are split or merged in vector lanes; coarser rows
// are copied point by point.
#include "fractal_rows.h"
#include "render_fast.h"

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

// Half spacing 2: of each 4-pixel vector the first pixel of both 128-bit
// lanes is a grid point, even and odd. Two vectors combine into
// [z0 z4 . . | z2 z6 . .], four into [z0 z4 z8 z12 | z2 z6 z10 z14], and
// eight give the even and the odd points in order.
__attribute__((target("avx2"))) inline __m256i quarter_pairs(const __m256i *v) {
    const __m256i a = _mm256_blend_epi32(_mm256_srli_epi64(_mm256_loadu_si256(v), 48),
                                         _mm256_srli_epi64(_mm256_loadu_si256(v + 1), 16), 0xAA);
    const __m256i b = _mm256_blend_epi32(_mm256_srli_epi64(_mm256_loadu_si256(v + 2), 48),
                                         _mm256_srli_epi64(_mm256_loadu_si256(v + 3), 16), 0xAA);
    return _mm256_unpacklo_epi64(a, b);
}

__attribute__((target("avx2"))) void load_quarters(const rv_Pixel *p, int32_t *even, int32_t *odd, int64_t blocks) {
    const auto *v = reinterpret_cast<const __m256i *>(p);
    for (int64_t b = 0; b < blocks; b++, v += 8) {
        const __m256i lo = quarter_pairs(v), hi = quarter_pairs(v + 4);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(even + 8 * b), _mm256_permute2x128_si256(lo, hi, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(odd + 8 * b), _mm256_permute2x128_si256(lo, hi, 0x31));
    }
}

// The reverse of load_quarters; the pixels between grid points keep their z.
__attribute__((target("avx2"))) void store_quarters(rv_Pixel *p, const int32_t *even, const int32_t *odd,
                                                    int64_t blocks) {
    auto *v = reinterpret_cast<__m256i *>(p);
    for (int64_t b = 0; b < blocks; b++, v += 8) {
        const __m256i e = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(even + 8 * b));
        const __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(odd + 8 * b));
        for (int half = 0; half < 2; half++) {
            // [z0 z4 z8 z12 | z2 z6 z10 z14] of this half's 16 pixels.
            const __m256i x = half ? _mm256_permute2x128_si256(e, o, 0x31) : _mm256_permute2x128_si256(e, o, 0x20);
            const __m256i y = _mm256_srli_si256(x, 8);
            const __m256i z[4] = {_mm256_slli_epi64(x, 48), _mm256_slli_epi64(x, 16), _mm256_slli_epi64(y, 48),
                                  _mm256_slli_epi64(y, 16)};
            __m256i *w = v + 4 * half;
            for (int k = 0; k < 4; k++)
                _mm256_storeu_si256(w + k, _mm256_blend_epi16(_mm256_loadu_si256(w + k), z[k], 0x08));
        }
    }
}

#endif

}  // namespace

namespace relvane::fast {

namespace {

// Grid points of each kind that the vector code does, in whole blocks inside the row.
int64_t vector_points(int64_t width, int64_t h) {
#if defined(__x86_64__)
    if (h <= 2 && has_avx2()) return 8 * (width / (16 * h));
#endif
    return 0;
}

}  // namespace

void load_grid_row(const rv_Pixel *p, int64_t width, int64_t h, int32_t *even, int32_t *odd) {
    const int64_t done = vector_points(width, h);
#if defined(__x86_64__)
    if (done) (h == 1 ? load_pairs : load_quarters)(p, even, odd, done / 8);
#endif
    load_points(p + 2 * h * done, 2 * h, even + done, even_lines(width - 1, h) - done);
    load_points(p + h + 2 * h * done, 2 * h, odd + done, odd_lines(width - 1, h) - done);
}

void store_grid_row(rv_Pixel *p, int64_t width, int64_t h, const int32_t *even, const int32_t *odd) {
    const int64_t done = vector_points(width, h);
#if defined(__x86_64__)
    if (done) (h == 1 ? store_pairs : store_quarters)(p, even, odd, done / 8);
#endif
    store_points(p + 2 * h * done, 2 * h, even + done, even_lines(width - 1, h) - done);
    store_points(p + h + 2 * h * done, 2 * h, odd + done, odd_lines(width - 1, h) - done);
}

}  // namespace relvane::fast
