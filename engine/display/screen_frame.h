// The frame shared by the display functions: screen lock, the screen's byte
// layout read once, row addressing, and the per-pixel loop over a colour
// function. Only display code includes this (it pulls in SDL).
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "../core/lanes.h"
#include "../core/surface_rows.h"
#include "../core/threads.h"

namespace relvane {

namespace plain {
using namespace lanes;
#include "lit_colour-inl.h"
}  // namespace plain

// Three 8-bit channel values for one screen pixel.
struct Rgb {
    uint8_t r, g, b;
};

// What a display call may touch: the screen area covered by both the screen
// and the surface, and where the channels sit in a screen pixel. An unusable
// layout (fewer than 3 bytes per pixel, channel bytes that cannot be told
// apart or lie beyond the pixel, rows shorter than the width) has w = h = 0.
struct ScreenLayout {
    int32_t w = 0, h = 0;
    int32_t bytes = 0;  // bytes per screen pixel
    int32_t r = 0, g = 0, b = 0;  // byte index of each channel in a pixel
};

inline bool channel_byte(int shift, int bytes, int32_t &index) {
    if (shift < 0 || shift % 8 != 0 || shift / 8 >= bytes) return false;
    index = shift / 8;
    return true;
}

// The byte a whole-byte mask covers.
inline bool mask_byte(uint32_t mask, int bytes, int32_t &index) {
    if (mask == 0) return false;
    const int low = __builtin_ctz(mask);
    if (low % 8 != 0 || mask != 0xFFu << low || low / 8 >= bytes) return false;
    index = low / 8;
    return true;
}

// Pixel size and channel bytes of a format. The shifts name the bytes; when
// they name the same byte twice (some SDL layers fill in the masks only and
// leave every shift at 0), the masks name them instead.
inline bool screen_channels(const SDL_PixelFormat *f, ScreenLayout &l) {
    if (f == nullptr || f->BytesPerPixel < 3) return false;
    l.bytes = f->BytesPerPixel;
    if (!channel_byte(f->Rshift, l.bytes, l.r) || !channel_byte(f->Gshift, l.bytes, l.g) ||
        !channel_byte(f->Bshift, l.bytes, l.b))
        return false;
    if (l.r != l.g && l.g != l.b && l.r != l.b) return true;
    return mask_byte(f->Rmask, l.bytes, l.r) && mask_byte(f->Gmask, l.bytes, l.g) &&
           mask_byte(f->Bmask, l.bytes, l.b) && l.r != l.g && l.g != l.b && l.r != l.b;
}

// Reads the format once; call after locking (pitch and pixels are read here).
inline ScreenLayout screen_layout(const SDL_Surface *screen, const rv_Surface *surface) {
    ScreenLayout l;
    if (screen->pixels == nullptr || !screen_channels(screen->format, l)) return l;
    const int32_t w = std::min<int32_t>(screen->w, surface->width);
    const int32_t h = std::min<int32_t>(screen->h, surface->height);
    if (w <= 0 || h <= 0) return l;
    if (static_cast<int64_t>(screen->pitch) < static_cast<int64_t>(w) * l.bytes) return l;
    l.w = w;
    l.h = h;
    return l;
}

inline uint8_t *screen_row(const SDL_Surface *screen, int32_t y) {
    return static_cast<uint8_t *>(screen->pixels) + static_cast<ptrdiff_t>(y) * screen->pitch;
}

// Channels already held to 0..255 (r, g, b members of any integer type).
template <typename Channels>
inline Rgb rgb(const Channels &c) {
    return {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g), static_cast<uint8_t>(c.b)};
}

inline void put_rgb(uint8_t *d, const ScreenLayout &l, Rgb c) {
    d[l.r] = c.r;
    d[l.g] = c.g;
    d[l.b] = c.b;
}

inline Rgb get_rgb(const uint8_t *d, const ScreenLayout &l) {
    return {d[l.r], d[l.g], d[l.b]};
}

// Colour scaled by light (256 = unity), saturating at 255.
inline Rgb lit_colour(const rv_Pixel &p) {
    const uint32_t light = p.light;
    auto scale = [light](uint8_t c) { return static_cast<uint8_t>(plain::lit_channel<uint32_t>(c, light, 255)); };
    return {scale(p.red), scale(p.green), scale(p.blue)};
}

// Locks the screen for the lifetime of the object: once in, once out.
class ScreenLock {
public:
    explicit ScreenLock(SDL_Surface *s) : s_(s) { SDL_LockSurface(s_); }
    ~ScreenLock() { SDL_UnlockSurface(s_); }
    ScreenLock(const ScreenLock &) = delete;
    ScreenLock &operator=(const ScreenLock &) = delete;

private:
    SDL_Surface *s_;
};

// A straight-down display: locks the screen, reads its layout once and runs
// the display's kernel (its slot, a row kernel of the fast table) over bands
// of the shown rows on the context's threads. value: the display's one
// parameter, passed on.
template <typename Kernel>
void show_screen(const rv_Surface *surface, SDL_Surface *screen, int32_t value, const Kernel &kernel) {
    const ScreenLock lock(screen);
    const ScreenLayout l = screen_layout(screen, surface);
    parallel_rows(surface->context, l.h, l.w, [&](int64_t first, int64_t last) {
        kernel(surface, screen, l, value, static_cast<int32_t>(first), static_cast<int32_t>(last));
    });
}

// The plain row kernels' loop over screen rows [first, last). For each row y,
// row_setup(y) gives the source row and a colour function for that row; the
// colour function maps a source pixel to an Rgb and returns false to leave
// the screen pixel as it was.
template <typename RowSetup>
void show_frame(SDL_Surface *screen, const ScreenLayout &l, int32_t first, int32_t last, RowSetup row_setup) {
    for (int32_t y = first; y < last; ++y) {
        auto [src, colour] = row_setup(y);
        uint8_t *dst = screen_row(screen, y);
        for (int32_t x = 0; x < l.w; ++x, ++src, dst += l.bytes) {
            Rgb c;
            if (colour(*src, c)) put_rgb(dst, l, c);
        }
    }
}

// The same for displays that show surface row y on screen row y with one
// colour function for every pixel.
template <typename Colour>
void show_pixels(const rv_Surface *surface, SDL_Surface *screen, const ScreenLayout &l, int32_t first,
                 int32_t last, Colour colour) {
    show_frame(screen, l, first, last, [surface, colour](int32_t y) {
        return std::pair<const rv_Pixel *, Colour>(surface_row(surface, y), colour);
    });
}

}  // namespace relvane
