// The frame of the display fast paths for 3-byte screens: a pixel's three
// channels are packed into one word at their byte positions and stored as
// three bytes, a form that vectorises.
#pragma once

#include "../core/fast_path.h"
#include "screen_frame.h"

namespace relvane::fast {

// Where the channels go: shifts 0, 8 and 16 in some order.
struct Shifts {
    uint32_t r, g, b;
    uint32_t pack(uint32_t red, uint32_t green, uint32_t blue) const {
        return red << r | green << g | blue << b;
    }
};

// Converts one row; colour(rgba word, light/z word, shifts, keep) returns the
// packed value and sets keep to leave the screen pixel as it was.
template <typename Colour>
[[gnu::always_inline]] inline void show_row(const PixelWord *__restrict src, uint8_t *__restrict dst,
                                            int32_t n, Shifts s, Colour colour) {
    for (int32_t x = 0; x < n; ++x) {
        bool keep = false;
        const uint32_t v = colour(src[2 * x], src[2 * x + 1], s, keep);
        dst[3 * x] = keep ? dst[3 * x] : static_cast<uint8_t>(v);
        dst[3 * x + 1] = keep ? dst[3 * x + 1] : static_cast<uint8_t>(v >> 8);
        dst[3 * x + 2] = keep ? dst[3 * x + 2] : static_cast<uint8_t>(v >> 16);
    }
}

// Locks the screen and runs row(source words, screen row, width, shifts)
// over the shown rows. Declines (before locking) a screen that is not 3 bytes
// per pixel with three distinct whole-byte channel positions.
template <typename Row>
bool show_rows(const rv_Surface *surface, SDL_Surface *screen, Row row) {
    const SDL_PixelFormat *f = screen->format;
    if (f == nullptr || f->BytesPerPixel != 3) return false;
    const unsigned r = f->Rshift, g = f->Gshift, b = f->Bshift;
    if (r % 8 || g % 8 || b % 8 || r > 16 || g > 16 || b > 16 || r == g || g == b || r == b)
        return false;
    const ScreenLock lock(screen);
    const ScreenLayout l = screen_layout(screen, surface);
    const Shifts s{static_cast<uint32_t>(l.r * 8), static_cast<uint32_t>(l.g * 8), static_cast<uint32_t>(l.b * 8)};
    for (int32_t y = 0; y < l.h; ++y)
        row(reinterpret_cast<const PixelWord *>(surface_row(surface, y)), screen_row(screen, y), l.w, s);
    return true;
}

}  // namespace relvane::fast
