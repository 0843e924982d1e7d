#if RELVANE_SIMD
#include <SDL.h>

#include <array>
#include <cmath>

#include "fast_compare.h"

namespace {

// A screen of random size near the surface's, in one of the channel orders,
// 3 or (now and then) 4 bytes a pixel, or the page's canvas (4 bytes, red
// first), filled with noise.
SDL_Surface *random_screen(std::mt19937 &rng, const rv_Surface *s) {
    static const std::array<std::array<uint32_t, 3>, 7> orders{{{0xFF0000, 0xFF00, 0xFF},
                                                               {0xFF, 0xFF00, 0xFF0000},
                                                               {0xFF00, 0xFF, 0xFF0000},
                                                               {0xFF0000, 0xFF, 0xFF00},
                                                               {0xFF, 0xFF0000, 0xFF00},
                                                               {0xFF00, 0xFF0000, 0xFF},
                                                               {0xFF, 0xFF00, 0xFF0000}}};
    const size_t order = rng() % orders.size();
    const auto &m = orders[order];
    const int depth = order == orders.size() - 1 || rng() % 8 == 0 ? 32 : 24;
    const int w = std::max(0, s->width - int(rng() % 3) + 1), h = std::max(0, s->height - int(rng() % 3) + 1);
    SDL_Surface *screen = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, depth, m[0], m[1], m[2], 0);
    auto *bytes = static_cast<uint8_t *>(screen->pixels);
    for (int i = 0; i < screen->h * screen->pitch; i++) bytes[i] = uint8_t(rng());
    return screen;
}

std::vector<uint8_t> screen_bytes(const SDL_Surface *screen) {
    const auto *b = static_cast<const uint8_t *>(screen->pixels);
    return std::vector<uint8_t>(b, b + screen->h * screen->pitch);
}

// Shows the same random surface with the plain function and the fast path;
// screen and surface (the tilted view writes into it) must end alike.
template <typename Plain, typename Fast>
void compare_display(uint32_t seed, Plain plain, Fast fast, int trials = 1500, int32_t max_h = 10) {
    std::mt19937 rng(seed);
    for (int t = 0; t < trials; t++) {
        fastcheck::Case c(rng, 70, max_h);
        SDL_Surface *screen = random_screen(rng, c.surface);
        const auto before = screen_bytes(screen);
        const auto pixels = c.pixels();
        relvane::set_fast_paths_enabled(false);
        plain(c.surface, screen);
        relvane::set_fast_paths_enabled(true);
        const auto expected = screen_bytes(screen);
        const auto expected_pixels = c.pixels();
        std::copy(before.begin(), before.end(), static_cast<uint8_t *>(screen->pixels));
        c.set(pixels);
        fast(c.surface, screen);
        EXPECT_EQ(expected, screen_bytes(screen)) << "trial " << t;
        EXPECT_TRUE(fastcheck::same(expected_pixels, c.pixels())) << "trial " << t;
        SDL_FreeSurface(screen);
    }
}

RELVANE_FAST_SUITE(DisplayFast);

TEST_P(DisplayFast, ColourMatchesPlain) {
    compare_display(31, rv_ShowColour, rv_ShowColour, 500);
}

TEST_P(DisplayFast, LightMatchesPlain) {
    compare_display(32, rv_ShowLight, rv_ShowLight, 500);
}

// Band heights and scales: the test program's powers of two, odd values,
// and values the plain code clamps or whose products turn negative.
TEST_P(DisplayFast, ProfilesAndHeightMatchPlain) {
    for (const int32_t v : {1, 2, 3, 7, 64, 256, 32768, 0, -5, 40000, 123457, -64, 1 << 20}) {
        const auto profiles = [v](const rv_Surface *s, SDL_Surface *d) { rv_ShowProfiles(s, d, v); };
        const auto height = [v](const rv_Surface *s, SDL_Surface *d) { rv_ShowHeight(s, d, v); };
        compare_display(33, profiles, profiles, 60);
        compare_display(34, height, height, 60);
    }
}

// Random angles in the range, beyond it and NaN, with heights cut down by a
// random shift so that the terrain lies within the screen as well as above
// it (uncut random heights make cliffs). The plain and the fast call of a
// trial come in turn and share one draw. Run for every vector target, so
// for every block width.
RELVANE_FAST_SUITE(TiltedFast);

TEST_P(TiltedFast, MatchesPlain) {
    std::mt19937 rng(36);
    float angle = 0.0f;
    int z_shift = 0;
    bool plain = false;
    auto show = [&](rv_Surface *s, SDL_Surface *d) {
        plain = !plain;
        if (plain) {
            static const float odd[] = {0.0f, 90.0f, -5.0f, 120.0f, std::nanf("")};
            angle = rng() % 8 == 0 ? odd[rng() % 5] : float(rng() % 9001) / 100.0f;
            z_shift = int(rng() % 17);
        }
        for (int32_t i = 0; i < s->width * s->height; i++) s->pixels[i].z = uint16_t(s->pixels[i].z >> z_shift);
        rv_ShowTilted(s, d, angle);
        return true;
    };
    compare_display(35, show, show, 3000, 60);
}

}  // namespace
#endif
