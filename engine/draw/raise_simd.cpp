// Fast path of rv_RaiseToLevel: branch-free in 32 bits, so that it
// vectorises. Factors whose product could leave 32 bits stay with the plain
// code.
#include <immintrin.h>

#include "area_rows.h"
#include "../core/fast_path.h"

namespace {

__attribute__((target_clones("avx2", "default")))
void raise_row(relvane::PixelWord *words, int32_t n, int32_t level, int32_t factor) {
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t hi = words[2 * i + 1];
        const auto z = static_cast<int32_t>(hi >> 16);
        int32_t raised = z + (((level - z) * factor) >> 8);
        raised = raised < 0 ? 0 : raised > 65535 ? 65535 : raised;
        const int32_t out = z > level ? z : raised;
        words[2 * i + 1] = (hi & 0xFFFFu) | (static_cast<uint32_t>(out) << 16);
    }
}

#if defined(__x86_64__)
// Four pixels a vector, each height worked in the low half of its own 64-bit
// lane; groups that lie wholly above the level are not written.
__attribute__((target("avx2"))) void raise_row_avx2(relvane::PixelWord *words, int32_t n, int32_t level,
                                                    int32_t factor) {
    const __m256i level_v = _mm256_set1_epi64x(level), factor_v = _mm256_set1_epi64x(factor);
    const __m256i top = _mm256_set1_epi64x(65535), zero = _mm256_setzero_si256();
    const __m256i height_bits = _mm256_set1_epi64x(static_cast<long long>(0xFFFF000000000000ull));
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        auto *p = reinterpret_cast<__m256i *>(words + 2 * i);
        const __m256i v = _mm256_loadu_si256(p);
        const __m256i z = _mm256_srli_epi64(v, 48);
        const __m256i above = _mm256_cmpgt_epi32(z, level_v);
        if (_mm256_movemask_epi8(above) == 0x0F0F0F0F) continue;  // all low halves above
        const __m256i step = _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(level_v, z), factor_v), 8);
        const __m256i raised = _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(z, step), zero), top);
        // the high halves hold junk; the shift left by 48 drops them
        const __m256i out = _mm256_blendv_epi8(raised, z, above);
        _mm256_storeu_si256(p, _mm256_or_si256(_mm256_andnot_si256(height_bits, v), _mm256_slli_epi64(out, 48)));
    }
    raise_row(words + 2 * i, n - i, level, factor);
}

#endif

}  // namespace

namespace relvane::fast {

bool raise_to_level(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *level, int32_t factor) {
    // (level - z) <= 65535, so the product fits 32 bits for |factor| < 32768.
    if (factor < -32767 || factor > 32767) return false;
    for_each_area_row(surface, rect, [&](rv_Pixel *row, int32_t n) {
#if defined(__x86_64__)
        if (has_avx2()) return raise_row_avx2(reinterpret_cast<PixelWord *>(row), n, level->z, factor);
#endif
        raise_row(reinterpret_cast<PixelWord *>(row), n, level->z, factor);
    });
    return true;
}

}  // namespace relvane::fast
