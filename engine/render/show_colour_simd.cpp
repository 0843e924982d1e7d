// Fast path of rv_ShowColour for 3-byte screens (the test program's): each
// pixel's lit colour is packed into one word at the channels' byte
// positions and stored as three bytes, a form that vectorises.
#include "../core/fast_path.h"
#include "screen_frame.h"

namespace {

using relvane::PixelWord;

inline uint32_t lit(uint32_t channel, uint32_t light) {
    const uint32_t v = (channel * light) >> 8;
    return v > 255 ? 255 : v;
}

__attribute__((target_clones("avx2", "default")))
void colour_row(const PixelWord *__restrict src, uint8_t *__restrict dst, int32_t n, uint32_t sr,
                uint32_t sg, uint32_t sb) {
    for (int32_t x = 0; x < n; ++x) {
        const uint32_t rgba = src[2 * x], light = src[2 * x + 1] & 0xFFFFu;
        const uint32_t v = lit(rgba & 0xFF, light) << sr | lit((rgba >> 8) & 0xFF, light) << sg |
                           lit((rgba >> 16) & 0xFF, light) << sb;
        dst[3 * x] = static_cast<uint8_t>(v);
        dst[3 * x + 1] = static_cast<uint8_t>(v >> 8);
        dst[3 * x + 2] = static_cast<uint8_t>(v >> 16);
    }
}

}  // namespace

namespace relvane::fast {

bool show_colour(const rv_Surface *surface, SDL_Surface *screen) {
    // Three distinct whole-byte positions; anything else is the plain code's.
    const SDL_PixelFormat *f = screen->format;
    if (f == nullptr || f->BytesPerPixel != 3) return false;
    const unsigned r = f->Rshift, g = f->Gshift, b = f->Bshift;
    if (r % 8 || g % 8 || b % 8 || r > 16 || g > 16 || b > 16 || r == g || g == b || r == b)
        return false;
    const ScreenLock lock(screen);
    const ScreenLayout l = screen_layout(screen, surface);
    const auto shift = [](int32_t index) { return static_cast<uint32_t>(index * 8); };
    for (int32_t y = 0; y < l.h; ++y)
        colour_row(reinterpret_cast<const PixelWord *>(surface_row(surface, y)), screen_row(screen, y),
                   l.w, shift(l.r), shift(l.g), shift(l.b));
    return true;
}

}  // namespace relvane::fast
