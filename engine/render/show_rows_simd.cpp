// Packed 32-bit pixels spread into 3-byte screen pixels.
#include <immintrin.h>

#include "show_rows_simd.h"

namespace {

void put_plain(const uint32_t *packed, uint8_t *dst, int32_t n) {
    for (int32_t i = 0; i < n; ++i, dst += 3) {
        const uint32_t v = packed[i];
        if (v >> 24) continue;
        dst[0] = static_cast<uint8_t>(v);
        dst[1] = static_cast<uint8_t>(v >> 8);
        dst[2] = static_cast<uint8_t>(v >> 16);
    }
}

#if defined(__x86_64__)
// Eight pixels at a time: each 16-byte lane drops its fourth bytes, the lanes
// close up, and 24 bytes are stored; kept pixels take their old bytes back.
__attribute__((target("avx2"))) void put_avx2(const uint32_t *packed, uint8_t *dst, int32_t n) {
    const __m256i squeeze = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                             0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i close_up = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8, dst += 24) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(packed + i));
        __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, squeeze), close_up);
        const __m256i keep = _mm256_srai_epi32(v, 31);
        if (!_mm256_testz_si256(keep, keep)) {
            const __m256i kept = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(keep, squeeze), close_up);
            const __m256i old = _mm256_set_m128i(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(dst + 16)),
                                                 _mm_loadu_si128(reinterpret_cast<const __m128i *>(dst)));
            bytes = _mm256_blendv_epi8(bytes, old, kept);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm256_castsi256_si128(bytes));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(dst + 16), _mm256_extracti128_si256(bytes, 1));
    }
    put_plain(packed + i, dst, n - i);
}

#endif

}  // namespace

namespace relvane::fast {

void screen_order(Shifts s, uint8_t order[32]) {
    for (uint32_t i = 0; i < 32; ++i) {
        const uint32_t pixel = i % 16 / 3, byte = i % 16 % 3;
        const uint32_t channel = s.r == 8 * byte ? 0 : s.g == 8 * byte ? 1 : 2;
        order[i] = i % 16 < 12 ? static_cast<uint8_t>(4 * pixel + channel) : 0x80;
    }
}

void put_pixels(const uint32_t *packed, uint8_t *dst, int32_t n) {
#if defined(__x86_64__)
    if (has_avx2()) return put_avx2(packed, dst, n);
#endif
    put_plain(packed, dst, n);
}

}  // namespace relvane::fast
