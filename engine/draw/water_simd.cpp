// Fast path of rv_ApplyWater: the same blend without a branch per pixel, so
// that it vectorises. A pixel above the level gets weight 0, which leaves
// every channel exactly as it was ((c * 256) >> 8 = c).
#include <immintrin.h>

#include "area_rows.h"
#include "../core/fast_path.h"

namespace {

struct Water {
    uint32_t red, green, blue, light, alpha, level, f;
};

__attribute__((target_clones("avx2", "default")))
void water_row(relvane::PixelWord *words, int32_t n, Water w) {
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t lo = words[2 * i], hi = words[2 * i + 1];
        const uint32_t z = hi >> 16;
        const uint32_t deep = w.alpha + ((w.f * (w.level - z)) >> 16);
        const uint32_t alpha = z > w.level ? 0u : deep > 256u ? 256u : deep;
        const uint32_t beta = 256u - alpha;
        const uint32_t r = (w.red * alpha + (lo & 0xFF) * beta) >> 8;
        const uint32_t g = (w.green * alpha + ((lo >> 8) & 0xFF) * beta) >> 8;
        const uint32_t b = (w.blue * alpha + ((lo >> 16) & 0xFF) * beta) >> 8;
        const uint32_t light = (w.light * alpha + (hi & 0xFFFF) * beta) >> 8;
        words[2 * i] = (lo & 0xFF000000u) | r | (g << 8) | (b << 16);
        words[2 * i + 1] = (hi & 0xFFFF0000u) | light;
    }
}

#if defined(__x86_64__)
// Each pixel's weight spread over the four 16-bit lanes of its channels (low
// or high pair of pixels of each 128-bit lane).
__attribute__((target("avx2"))) inline __m256i spread(__m256i v, bool high) {
    const __m256i pairs = _mm256_or_si256(v, _mm256_slli_epi32(v, 16));
    return high ? _mm256_unpackhi_epi32(pairs, pairs) : _mm256_unpacklo_epi32(pairs, pairs);
}

// (water * alpha + under * beta) >> 8 on channels in 16-bit lanes.
__attribute__((target("avx2"))) inline __m256i mix(__m256i under, __m256i colour, __m256i alpha, __m256i beta,
                                                   bool high) {
    const __m256i kept = _mm256_mullo_epi16(under, spread(beta, high));
    return _mm256_srli_epi16(_mm256_add_epi16(kept, _mm256_mullo_epi16(colour, spread(alpha, high))), 8);
}

// Eight pixels at a time: the weights in 32-bit lanes, the colour bytes in
// 16-bit lanes (c * beta + water * alpha <= 255 * 256 fits), the light in
// 32-bit lanes.
__attribute__((target("avx2"))) void water_row_avx2(relvane::PixelWord *words, int32_t n, Water w) {
    const __m256i level = _mm256_set1_epi32(static_cast<int>(w.level)), f = _mm256_set1_epi32(static_cast<int>(w.f));
    const __m256i alpha0 = _mm256_set1_epi32(static_cast<int>(w.alpha)), c256 = _mm256_set1_epi32(256);
    const __m256i light = _mm256_set1_epi32(static_cast<int>(w.light)), low16 = _mm256_set1_epi32(0xFFFF);
    const __m256i colour = _mm256_set1_epi64x(static_cast<long long>(w.red | w.green << 16 | uint64_t{w.blue} << 32));
    const __m256i alpha_byte = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i zero = _mm256_setzero_si256();
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        auto *p = reinterpret_cast<__m256i *>(words + 2 * i);
        const __m256 v0 = _mm256_castsi256_ps(_mm256_loadu_si256(p)), v1 = _mm256_castsi256_ps(_mm256_loadu_si256(p + 1));
        const __m256i rgba = _mm256_castps_si256(_mm256_shuffle_ps(v0, v1, 0x88));
        const __m256i lz = _mm256_castps_si256(_mm256_shuffle_ps(v0, v1, 0xDD));
        const __m256i z = _mm256_srli_epi32(lz, 16);
        const __m256i deep = _mm256_add_epi32(alpha0, _mm256_srli_epi32(_mm256_mullo_epi32(f, _mm256_sub_epi32(level, z)), 16));
        const __m256i alpha = _mm256_andnot_si256(_mm256_cmpgt_epi32(z, level), _mm256_min_epu32(deep, c256));
        if (_mm256_testz_si256(alpha, alpha)) continue;  // all above the water: nothing changes
        const __m256i beta = _mm256_sub_epi32(c256, alpha);

        const __m256i lit = _mm256_and_si256(lz, low16);
        const __m256i mixed_light = _mm256_srli_epi32(
            _mm256_add_epi32(_mm256_slli_epi32(lit, 8), _mm256_mullo_epi32(_mm256_sub_epi32(light, lit), alpha)), 8);
        const __m256i mixed = _mm256_packus_epi16(mix(_mm256_unpacklo_epi8(rgba, zero), colour, alpha, beta, false),
                                                  mix(_mm256_unpackhi_epi8(rgba, zero), colour, alpha, beta, true));
        const __m256i out_rgba = _mm256_blendv_epi8(mixed, rgba, alpha_byte);
        const __m256i out_lz = _mm256_or_si256(_mm256_andnot_si256(low16, lz), mixed_light);
        _mm256_storeu_si256(p, _mm256_unpacklo_epi32(out_rgba, out_lz));
        _mm256_storeu_si256(p + 1, _mm256_unpackhi_epi32(out_rgba, out_lz));
    }
    water_row(words + 2 * i, n - i, w);
}

#endif

}  // namespace

namespace relvane::fast {

bool apply_water(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water, int32_t depth) {
    const Water w{water->red, water->green, water->blue, water->light, water->alpha, water->z,
                  depth > 0 ? 65536u / static_cast<uint32_t>(depth) : 65536u};
    for_each_area_row(surface, rect, [&](rv_Pixel *row, int32_t n) {
#if defined(__x86_64__)
        if (has_avx2()) return water_row_avx2(reinterpret_cast<PixelWord *>(row), n, w);
#endif
        water_row(reinterpret_cast<PixelWord *>(row), n, w);
    });
    return true;
}

}  // namespace relvane::fast
