// Every display function on screens it cannot use, empty screens and
// surfaces smaller than the screen: no write outside the shown area, no read
// outside the surface, and the screen is left unlocked.
#include <cmath>
#include <vector>

#include "screen_fixture.h"

using namespace relvane_test;

namespace {

struct Shower {
    const char *name;
    void (*show)(rv_Surface *, SDL_Surface *);
};

const Shower showers[] = {
    {"colour", [](rv_Surface *s, SDL_Surface *d) { rv_ShowColour(s, d); }},
    {"profiles", [](rv_Surface *s, SDL_Surface *d) { rv_ShowProfiles(s, d, 4); }},
    {"height", [](rv_Surface *s, SDL_Surface *d) { rv_ShowHeight(s, d, 64); }},
    {"light", [](rv_Surface *s, SDL_Surface *d) { rv_ShowLight(s, d); }},
    {"tilted", [](rv_Surface *s, SDL_Surface *d) { rv_ShowTilted(s, d, 30.0f); }},
};

void seed_surface(TestSurface &s) {
    for (int y = 0; y < s.surface->height; ++y)
        for (int x = 0; x < s.surface->width; ++x)
            s.at(x, y) = pixel(x * 40, y * 30, 90, 200 + x * 60, y * 3000 + x * 500);
}

}  // namespace

TEST(DisplaySafety, UnusableFormatsWriteNothing) {
    // A screen of pixel size below 3, channel bytes not whole or past the
    // pixel, or shifts that coincide with masks that cannot stand in for them.
    enum Change { None, GreenHalfByte, RedPastPixel, BlueNegative, SameShiftsNoMasks };
    const struct {
        const char *name;
        int bits;
        Change change;
    } formats[] = {
        {"16-bit", 16, None},         {"8-bit", 8, None},
        {"half-byte green", 24, GreenHalfByte}, {"red past pixel", 24, RedPastPixel},
        {"blue negative", 32, BlueNegative},   {"same shifts, no masks", 24, SameShiftsNoMasks},
    };
    for (const Shower &sh : showers) {
        for (const auto &f : formats) {
            SCOPED_TRACE(std::string(sh.name) + " " + f.name);
            TestSurface s(5, 5);
            seed_surface(s);
            const std::vector<rv_Pixel> before = snapshot(s.surface);
            Screen screen(f.bits >= 24 ? make_screen(4, 4, {"", f.bits, 0xFF0000u}).release()
                                       : SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, f.bits, 0, 0, 0, 0));
            ASSERT_TRUE(screen);
            SDL_PixelFormat *fmt = screen->format;
            if (f.change == GreenHalfByte) fmt->Gshift = 4;
            if (f.change == RedPastPixel) fmt->Rshift = 24;
            if (f.change == BlueNegative) fmt->Bshift = static_cast<Uint8>(-8);  // 248: past the pixel
            if (f.change == SameShiftsNoMasks) {
                fmt->Rshift = fmt->Gshift = fmt->Bshift = 0;
                fmt->Rmask = fmt->Gmask = fmt->Bmask = 0;
            }
            const std::vector<Uint8> shown = bytes_of(screen.get());
            sh.show(s.surface, screen.get());
            EXPECT_EQ(bytes_of(screen.get()), shown);
            EXPECT_EQ(screen->locked, 0u);
            EXPECT_EQ(snapshot(s.surface), before);
        }
    }
}

TEST(DisplaySafety, EmptyScreensWriteNothing) {
    for (const Shower &sh : showers) {
        for (const auto &[w, h] : {std::pair{0, 3}, {3, 0}, {0, 0}}) {
            SCOPED_TRACE(std::string(sh.name) + " " + std::to_string(w) + "x" + std::to_string(h));
            TestSurface s(4, 4);
            seed_surface(s);
            Screen screen = make_screen(w, h);
            ASSERT_TRUE(screen);
            sh.show(s.surface, screen.get());
            EXPECT_EQ(screen->locked, 0u);
            EXPECT_EQ(s.at(0, 3).light, 200);  // tilted: no top buffer either
        }
    }
}

// Only the part of the screen the surface covers is drawn; under the address
// sanitizer any read past the surface would fail the run.
TEST(DisplaySafety, SmallSurfaceDrawsItsPartOnly) {
    for (const Shower &sh : showers) {
        for (const Format &f : screen_formats) {
            SCOPED_TRACE(std::string(sh.name) + " " + f.name);
            TestSurface s(3, 2);
            seed_surface(s);
            Screen screen = make_screen(6, 5, f);
            sh.show(s.surface, screen.get());
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 6; ++x) {
                    const Uint8 *p = screen_byte(screen.get(), x, y);
                    const bool untouched = p[0] == 0xA5 && p[1] == 0xA5 && p[2] == 0xA5;
                    if (x >= 3 || y >= 2) EXPECT_TRUE(untouched) << x << "," << y;
                }
            EXPECT_EQ(screen->locked, 0u);
        }
    }
}
