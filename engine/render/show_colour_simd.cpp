// Fast path of rv_ShowColour for 3-byte screens.
#include <immintrin.h>

#include "show_rows_simd.h"

namespace {

using namespace relvane::fast;
using relvane::PixelWord;

inline uint32_t lit(uint32_t channel, uint32_t light) {
    const uint32_t v = (channel * light) >> 8;
    return v > 255 ? 255 : v;
}

__attribute__((target_clones("avx2", "default")))
void colour_row(const PixelWord *src, uint8_t *dst, int32_t n, Shifts s) {
    show_row(src, dst, n, s, [](uint32_t rgba, uint32_t lz, Shifts sh, bool &) {
        const uint32_t light = lz & 0xFFFFu;
        return sh.pack(lit(rgba & 0xFF, light), lit((rgba >> 8) & 0xFF, light), lit((rgba >> 16) & 0xFF, light));
    });
}

#if defined(__x86_64__)
// Four pixels of one vector lit in 16-bit lanes: (c * light) >> 8 is the high
// half of (c << 8) * light, held to 255.
__attribute__((target("avx2"))) inline __m256i lit_pixels(__m256i pixels) {
    const __m256i channels = _mm256_setr_epi8(-1, 0, -1, 1, -1, 2, -1, 3, -1, 8, -1, 9, -1, 10, -1, 11,  //
                                              -1, 0, -1, 1, -1, 2, -1, 3, -1, 8, -1, 9, -1, 10, -1, 11);
    const __m256i lights = _mm256_setr_epi8(4, 5, 4, 5, 4, 5, 4, 5, 12, 13, 12, 13, 12, 13, 12, 13,  //
                                            4, 5, 4, 5, 4, 5, 4, 5, 12, 13, 12, 13, 12, 13, 12, 13);
    const __m256i v = _mm256_mulhi_epu16(_mm256_shuffle_epi8(pixels, channels), _mm256_shuffle_epi8(pixels, lights));
    return _mm256_min_epu16(v, _mm256_set1_epi16(255));
}

// Eight pixels at a time, the channels put in the screen's byte order by the
// same shuffle that drops the fourth bytes.
__attribute__((target("avx2"))) void colour_row_avx2(const PixelWord *src, uint8_t *dst, int32_t n, Shifts s) {
    uint8_t bytes[32];
    screen_order(s, bytes);
    const __m256i order = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(bytes));
    int32_t i = 0;
    for (; i + 8 <= n; i += 8, dst += 24) {
        const auto *p = reinterpret_cast<const __m256i *>(src + 2 * i);
        const __m256i lit = _mm256_packus_epi16(lit_pixels(_mm256_loadu_si256(p)), lit_pixels(_mm256_loadu_si256(p + 1)));
        put_eight(_mm256_permute4x64_epi64(lit, 0xD8), order, dst);
    }
    colour_row(src + 2 * i, dst, n - i, s);
}

#endif

}  // namespace

namespace relvane::fast {

bool show_colour(const rv_Surface *surface, SDL_Surface *screen) {
#if defined(__x86_64__)
    if (has_avx2()) return show_rows(surface, screen, colour_row_avx2);
#endif
    return show_rows(surface, screen, colour_row);
}

}  // namespace relvane::fast
