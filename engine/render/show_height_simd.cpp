// Fast path of rv_ShowHeight for 3-byte screens.
#include <immintrin.h>

#include "show_rows_simd.h"

namespace {

using namespace relvane::fast;
using relvane::PixelWord;

// The ramp's four segments as clamped straight lines of the index q.
inline uint32_t ramp(int32_t q, Shifts sh) {
    const int32_t i = std::clamp(q, 0, 1023);
    const int32_t red = std::clamp(i - 512, 0, 255);
    const int32_t green = std::clamp(i - 256, 0, 255);
    const int32_t blue = std::max(std::max(std::min(i, 511 - i), 0), i - 768);
    return q > 1023 ? sh.pack(255, 0, 255)
                    : sh.pack(static_cast<uint32_t>(red), static_cast<uint32_t>(green), static_cast<uint32_t>(blue));
}

// Scales of 0 to 32768 keep every product positive and within 32 bits.
__attribute__((target_clones("avx2", "default")))
void height_row_positive(const PixelWord *src, uint8_t *dst, int32_t w, Shifts s, int32_t scale) {
    show_row(src, dst, w, s, [scale](uint32_t, uint32_t lz, Shifts sh, bool &) {
        return ramp(static_cast<int32_t>(lz >> 16) * scale >> 12, sh);
    });
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) inline __m256i clamp_byte(__m256i v) {
    return _mm256_min_epi32(_mm256_max_epi32(v, _mm256_setzero_si256()), _mm256_set1_epi32(255));
}

// The same ramp eight pixels at a time, stored straight as 3-byte pixels.
__attribute__((target("avx2"))) void height_row_avx2(const PixelWord *src, uint8_t *dst, int32_t w, Shifts s,
                                                     int32_t scale) {
    const __m256i k = _mm256_set1_epi32(scale), zero = _mm256_setzero_si256();
    const __m256i c256 = _mm256_set1_epi32(256), c511 = _mm256_set1_epi32(511);
    const __m256i c512 = _mm256_set1_epi32(512), c768 = _mm256_set1_epi32(768), c1023 = _mm256_set1_epi32(1023);
    const __m256i magenta = _mm256_set1_epi32(0xFF00FF);
    uint8_t bytes[32];
    screen_order(s, bytes);
    const __m256i order = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(bytes));
    int32_t i = 0;
    for (; i + 8 <= w; i += 8, dst += 24) {
        // light/z words of the eight pixels, back in order
        const __m256 a = _mm256_castsi256_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(src + 2 * i)));
        const __m256 b = _mm256_castsi256_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(src + 2 * i + 8)));
        const __m256i lz = _mm256_permute4x64_epi64(_mm256_castps_si256(_mm256_shuffle_ps(a, b, 0xDD)), 0xD8);
        const __m256i q = _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(lz, 16), k), 12);
        const __m256i at = _mm256_min_epi32(q, c1023);
        const __m256i red = clamp_byte(_mm256_sub_epi32(at, c512));
        const __m256i green = clamp_byte(_mm256_sub_epi32(at, c256));
        const __m256i blue = _mm256_max_epi32(_mm256_max_epi32(_mm256_min_epi32(at, _mm256_sub_epi32(c511, at)), zero),
                                              _mm256_sub_epi32(at, c768));
        // red in the low byte; the store puts the channels in the screen's order
        __m256i packed = _mm256_or_si256(_mm256_or_si256(red, _mm256_slli_epi32(green, 8)), _mm256_slli_epi32(blue, 16));
        packed = _mm256_blendv_epi8(packed, magenta, _mm256_cmpgt_epi32(q, c1023));
        put_eight(packed, order, dst);
    }
    height_row_positive(src + 2 * i, dst, w - i, s, scale);
}

#endif

__attribute__((target_clones("avx2", "default")))
void height_row(const PixelWord *src, uint8_t *dst, int32_t w, Shifts s, uint32_t scale) {
    show_row(src, dst, w, s, [scale](uint32_t, uint32_t lz, Shifts sh, bool &keep) {
        const auto t = static_cast<int32_t>((lz >> 16) * scale);
        keep = t < 0;
        return ramp(t >> 12, sh);
    });
}

}  // namespace

namespace relvane::fast {

bool show_height(const rv_Surface *surface, SDL_Surface *screen, int32_t scale) {
    return show_rows(surface, screen, [scale](const PixelWord *src, uint8_t *dst, int32_t w, Shifts s) {
        if (scale >= 0 && scale <= 32768) {
#if defined(__x86_64__)
            if (has_avx2()) return height_row_avx2(src, dst, w, s, scale);
#endif
            height_row_positive(src, dst, w, s, scale);
        } else {
            height_row(src, dst, w, s, static_cast<uint32_t>(scale));
        }
    });
}

}  // namespace relvane::fast
