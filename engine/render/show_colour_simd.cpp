// Fast path of rv_ShowColour for 3-byte screens.
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

}  // namespace

namespace relvane::fast {

bool show_colour(const rv_Surface *surface, SDL_Surface *screen) {
    return show_rows(surface, screen, colour_row);
}

}  // namespace relvane::fast
