// Screens and surfaces for the display tests.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "relvane.h"
#include "support/surface_helpers.h"

namespace relvane_test {

struct Colour {
    int r, g, b;
    bool operator==(const Colour &) const = default;
};

inline std::ostream &operator<<(std::ostream &os, const Colour &c) {
    return os << '(' << c.r << ", " << c.g << ", " << c.b << ')';
}

struct ScreenFree {
    void operator()(SDL_Surface *s) const { SDL_FreeSurface(s); }
};
using Screen = std::unique_ptr<SDL_Surface, ScreenFree>;

// A screen format under test: bits per pixel and the red mask (blue takes
// the other end, green the middle).
struct Format {
    const char *name;
    int bits;
    Uint32 red_mask;
};

inline const Format screen_formats[] = {
    {"rgb24", 24, 0xFF0000u},
    {"bgr24", 24, 0x0000FFu},
    {"xrgb32", 32, 0xFF0000u},
};

// A screen whose every byte holds fill.
inline Screen make_screen(int w, int h, const Format &f = screen_formats[0], Uint8 fill = 0xA5) {
    const Uint32 blue_mask = f.red_mask == 0xFF0000u ? 0x0000FFu : 0xFF0000u;
    Screen s(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f.bits, f.red_mask, 0x00FF00u, blue_mask, 0));
    if (s && s->pixels) std::memset(s->pixels, fill, static_cast<size_t>(s->pitch) * s->h);
    return s;
}

inline Uint8 *screen_byte(SDL_Surface *s, int x, int y) {
    return static_cast<Uint8 *>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
}

inline Colour read_pixel(SDL_Surface *s, int x, int y) {
    const Uint8 *p = screen_byte(s, x, y);
    const SDL_PixelFormat *f = s->format;
    return {p[f->Rshift / 8], p[f->Gshift / 8], p[f->Bshift / 8]};
}

inline void write_pixel(SDL_Surface *s, int x, int y, Colour c) {
    Uint8 *p = screen_byte(s, x, y);
    const SDL_PixelFormat *f = s->format;
    p[f->Rshift / 8] = static_cast<Uint8>(c.r);
    p[f->Gshift / 8] = static_cast<Uint8>(c.g);
    p[f->Bshift / 8] = static_cast<Uint8>(c.b);
}

// The screen's top-left colours, row by row.
inline void expect_picture(SDL_Surface *screen, const std::vector<std::vector<Colour>> &want) {
    for (size_t y = 0; y < want.size(); ++y)
        for (size_t x = 0; x < want[y].size(); ++x)
            EXPECT_EQ(read_pixel(screen, static_cast<int>(x), static_cast<int>(y)), want[y][x])
                << "at " << x << "," << y;
}

// The screen's bytes, row padding included.
inline std::vector<Uint8> bytes_of(const SDL_Surface *s) {
    const auto *p = static_cast<const Uint8 *>(s->pixels);
    return p ? std::vector<Uint8>(p, p + s->pitch * s->h) : std::vector<Uint8>{};
}

using TestSurface = Canvas;

inline rv_Pixel pixel(int r, int g, int b, int light, int z = 0) {
    return rv_Pixel{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), 255,
                    static_cast<uint16_t>(light), static_cast<uint16_t>(z)};
}

}  // namespace relvane_test
