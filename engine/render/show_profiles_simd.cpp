// Fast path of rv_ShowProfiles for 3-byte screens.
#include "show_rows_simd.h"

namespace {

using namespace relvane::fast;
using relvane::PixelWord;

constexpr int32_t max_rows_per_band = 32768;

// Row k of a band of n rows showing the surface row src.
__attribute__((target_clones("avx2", "default")))
void profile_row(const PixelWord *src, uint8_t *dst, int32_t w, Shifts s, int32_t n, int32_t k) {
    const uint32_t red = k == n - 1 ? 255 : 0;
    const uint32_t blue = k == n / 2 ? 255 : 0;
    show_row(src, dst, w, s, [n, k, red, blue](uint32_t, uint32_t lz, Shifts sh, bool &) {
        const int32_t d = (n * (65535 - static_cast<int32_t>(lz >> 16))) >> 8;
        const int32_t line = d >> 8;
        const int32_t f = d & 255;
        const int32_t edge = f == 0 ? 255 : 256 - f;
        const int32_t green = line < k ? 255 : line > k ? 0 : edge;
        return sh.pack(red, static_cast<uint32_t>(green), blue);
    });
}

}  // namespace

namespace relvane::fast {

bool show_profiles(const rv_Surface *surface, SDL_Surface *screen, int32_t rows) {
    const int32_t n = std::clamp<int32_t>(rows, 1, max_rows_per_band);
    return show_screen_rows(surface, screen, [surface, n](int32_t y, uint8_t *dst, int32_t w, Shifts s) {
        const int32_t top = y / n * n;
        profile_row(surface_words(surface, top), dst, w, s, n, y - top);
    });
}

}  // namespace relvane::fast
