// Screens whose format carries the channel masks but leaves every shift at 0
// show the same bytes as the same format with its shifts filled in.
#include <random>
#include <vector>

#include "screen_fixture.h"

using namespace relvane_test;

namespace {

void (*const showers[])(rv_Surface *, SDL_Surface *) = {
    [](rv_Surface *s, SDL_Surface *d) { rv_ShowColour(s, d); },
    [](rv_Surface *s, SDL_Surface *d) { rv_ShowProfiles(s, d, 8); },
    [](rv_Surface *s, SDL_Surface *d) { rv_ShowHeight(s, d, 64); },
    [](rv_Surface *s, SDL_Surface *d) { rv_ShowLight(s, d); },
    [](rv_Surface *s, SDL_Surface *d) { rv_ShowTilted(s, d, 40.0f); },
};

void seed(TestSurface &s, unsigned salt) {
    std::mt19937 rng(salt);
    for (int y = 0; y < s.surface->height; ++y)
        for (int x = 0; x < s.surface->width; ++x)
            s.at(x, y) = pixel(int(rng() & 255), int(rng() & 255), int(rng() & 255), int(rng() % 700),
                               int(rng() & 0xFFFF));
}

}  // namespace

TEST(MaskOnlyScreens, ShowLikeTheirShiftedTwins) {
    const Format formats[] = {
        {"rgb24", 24, 0xFF0000u}, {"bgr24", 24, 0x0000FFu}, {"xrgb32", 32, 0xFF0000u}, {"xbgr32", 32, 0x0000FFu}};
    for (size_t k = 0; k < std::size(showers); ++k) {
        for (const Format &f : formats) {
            SCOPED_TRACE(std::string(f.name) + " display function " + std::to_string(k));
            // Wide enough for the fast paths' whole blocks and their tails.
            const int w = 45, h = 23;
            TestSurface want_s(w + 1, h + 1), got_s(w + 1, h + 1);
            seed(want_s, unsigned(k));
            seed(got_s, unsigned(k));
            Screen want = make_screen(w, h, f), got = make_screen(w, h, f);
            ASSERT_TRUE(want && got);
            got->format->Rshift = got->format->Gshift = got->format->Bshift = 0;
            showers[k](want_s.surface, want.get());
            showers[k](got_s.surface, got.get());
            EXPECT_EQ(bytes_of(got.get()), bytes_of(want.get()));
            EXPECT_EQ(snapshot(got_s.surface), snapshot(want_s.surface));
        }
    }
}
