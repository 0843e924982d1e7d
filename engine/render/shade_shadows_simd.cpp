// Fast path of rv_ShadeShadows. Instead of walking each diagonal to its
// end, it walks the surface row by row, carrying the shadow line of every
// diagonal from one row to the next: pixel (x, y) continues the diagonal
// of (x - 1, y - 1). Memory is read in order and a row's pixels, each on a
// diagonal of its own, vectorise. The two carried rows of shadow lines live
// in the context's work span.
#include <immintrin.h>

#include "render_fast.h"
#include "../core/surface_rows.h"

namespace {

using relvane::PixelWord;

// n / d for 0 <= n < 2^29 and 0 < d < 2^17: the single-precision quotient is
// within one of the true one, and one correction step makes it exact.
inline int32_t quotient(int32_t n, int32_t d) {
    int32_t q = static_cast<int32_t>(static_cast<float>(n) / static_cast<float>(d));
    const int32_t r = n - q * d;
    q += (r >= d) - (r < 0);
    return q;
}

// One row after the first. prev holds the shadow lines left by row y - 1,
// cur receives those of row y. A falling line (fall <= 0) lights the first
// pixel of every diagonal, the one in column 0. Both quotients are formed
// for every pixel and the lit ones keep their light by mask, which keeps the
// loop free of branches.
__attribute__((target_clones("avx2", "default")))
void shadow_pixels(PixelWord *__restrict row, const int32_t *__restrict prev, int32_t *__restrict cur,
                   int32_t first, int32_t n, int32_t fall) {
    for (int32_t x = first; x < n; ++x) {
        const uint32_t word = row[2 * x + 1];
        const auto z = static_cast<int32_t>(word >> 16);
        const int32_t line = prev[x - 1] + fall;
        const int32_t lit = -static_cast<int32_t>(z >= line);  // all ones when lit
        cur[x] = (z & lit) | (line & ~lit);
        // Depth below the line, 1..65535 where it counts; the difference
        // wraps (unsigned) where a steep line lies far below.
        const auto depth = static_cast<int32_t>(static_cast<uint32_t>(line) - static_cast<uint32_t>(z));
        const int32_t e = (1 & lit) | (depth & ~lit);
        const auto light = static_cast<int32_t>(word & 0xFFFFu);
        const int32_t dark = (quotient(light * 8192, e + 8192) + quotient(light * 128, e + 128)) >> 1;
        row[2 * x + 1] = (word & 0xFFFF0000u) | static_cast<uint32_t>((light & lit) | (dark & ~lit));
    }
}

void shadow_row(PixelWord *row, const int32_t *prev, int32_t *cur, int32_t n, int32_t fall) {
    cur[0] = static_cast<int32_t>(row[1] >> 16);
    shadow_pixels(row, prev, cur, 1, n, fall);
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) inline __m256i quotient_avx2(__m256i n, __m256i d) {
    __m256i q = _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(n), _mm256_cvtepi32_ps(d)));
    const __m256i r = _mm256_sub_epi32(n, _mm256_mullo_epi32(q, d));
    q = _mm256_sub_epi32(q, _mm256_cmpgt_epi32(r, _mm256_sub_epi32(d, _mm256_set1_epi32(1))));
    return _mm256_add_epi32(q, _mm256_cmpgt_epi32(_mm256_setzero_si256(), r));
}

// The same row eight pixels at a time. The shadow lines are in column order,
// the pixels' words in the order of the deinterleaving shuffle; a swap of the
// middle 64-bit quarters goes from one to the other. Groups that are wholly
// lit are not written.
__attribute__((target("avx2"))) void shadow_row_avx2(PixelWord *row, const int32_t *prev, int32_t *cur, int32_t n,
                                                     int32_t fall) {
    cur[0] = static_cast<int32_t>(row[1] >> 16);
    const __m256i fall_v = _mm256_set1_epi32(fall), low16 = _mm256_set1_epi32(0xFFFF), one = _mm256_set1_epi32(1);
    const __m256i c128 = _mm256_set1_epi32(128), c8192 = _mm256_set1_epi32(8192);
    int32_t x = 1;
    for (; x + 8 <= n; x += 8) {
        auto *p = reinterpret_cast<__m256i *>(row + 2 * x);
        const __m256 v0 = _mm256_castsi256_ps(_mm256_loadu_si256(p)), v1 = _mm256_castsi256_ps(_mm256_loadu_si256(p + 1));
        const __m256i lz = _mm256_permute4x64_epi64(_mm256_castps_si256(_mm256_shuffle_ps(v0, v1, 0xDD)), 0xD8);
        const __m256i z = _mm256_srli_epi32(lz, 16);
        const __m256i line = _mm256_add_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(prev + x - 1)), fall_v);
        const __m256i shadowed = _mm256_cmpgt_epi32(line, z);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(cur + x), _mm256_blendv_epi8(z, line, shadowed));
        if (_mm256_testz_si256(shadowed, shadowed)) continue;
        const __m256i e = _mm256_blendv_epi8(one, _mm256_sub_epi32(line, z), shadowed);
        const __m256i light = _mm256_and_si256(lz, low16);
        const __m256i dark = _mm256_srai_epi32(
            _mm256_add_epi32(quotient_avx2(_mm256_slli_epi32(light, 13), _mm256_add_epi32(e, c8192)),
                             quotient_avx2(_mm256_slli_epi32(light, 7), _mm256_add_epi32(e, c128))),
            1);
        const __m256i out_lz = _mm256_permute4x64_epi64(
            _mm256_or_si256(_mm256_andnot_si256(low16, lz), _mm256_blendv_epi8(light, dark, shadowed)), 0xD8);
        const __m256i rgba = _mm256_castps_si256(_mm256_shuffle_ps(v0, v1, 0x88));
        _mm256_storeu_si256(p, _mm256_unpacklo_epi32(rgba, out_lz));
        _mm256_storeu_si256(p + 1, _mm256_unpackhi_epi32(rgba, out_lz));
    }
    shadow_pixels(row, prev, cur, x, n, fall);
}

#endif

}  // namespace

namespace relvane::fast {

// fall: how far the shadow line drops per diagonal step. A rising line
// (fall > 0) can climb without bound and stays with the plain code, as does a
// surface wider than the context's work span.
bool shade_shadows(rv_Surface *surface, int64_t fall) {
    const int32_t w = surface->width, h = surface->height;
    if (fall > 0 || fall < INT32_MIN || w > surface->context->span_size) return false;
    auto *lines = reinterpret_cast<int32_t *>(surface->context->work_span);
    int32_t *prev = lines, *cur = lines + w;
    // Row 0 starts a diagonal in every column: all lit.
    const auto *top = reinterpret_cast<const PixelWord *>(surface_row(surface, 0));
    for (int32_t x = 0; x < w; ++x) prev[x] = static_cast<int32_t>(top[2 * x + 1] >> 16);
    auto row_op = shadow_row;
#if defined(__x86_64__)
    if (has_avx2()) row_op = shadow_row_avx2;
#endif
    for (int32_t y = 1; y < h; ++y) {
        row_op(reinterpret_cast<PixelWord *>(surface_row(surface, y)), prev, cur, w,
                   static_cast<int32_t>(fall));
        int32_t *t = prev;
        prev = cur;
        cur = t;
    }
    return true;
}

}  // namespace relvane::fast
