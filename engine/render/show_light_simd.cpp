// Fast path of rv_ShowLight for 3-byte screens.
#include "show_rows_simd.h"

namespace {

using namespace relvane::fast;
using relvane::PixelWord;

__attribute__((target_clones("avx2", "default")))
void light_row(const PixelWord *src, uint8_t *dst, int32_t n, Shifts s) {
    show_row(src, dst, n, s, [](uint32_t, uint32_t lz, Shifts sh, bool &) {
        const uint32_t light = lz & 0xFFFFu;
        const uint32_t red = light <= 255 ? 0 : light <= 511 ? light - 256 : 255;
        const uint32_t green = light <= 255 ? light : 255;
        const uint32_t blue = light <= 511 ? 0 : 255;
        return sh.pack(red, green, blue);
    });
}

}  // namespace

namespace relvane::fast {

bool show_light(const rv_Surface *surface, SDL_Surface *screen) {
    return show_rows(surface, screen, light_row);
}

}  // namespace relvane::fast
