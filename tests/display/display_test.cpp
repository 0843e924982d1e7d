#include <climits>
#include <functional>
#include <vector>

#include "screen_fixture.h"

using namespace relvane_test;

namespace {

// One surface pixel per case, shown in a one-row screen of every format;
// the format's spare byte must survive.
void expect_row(const char *what, const std::vector<rv_Pixel> &in, const std::vector<Colour> &want,
                const std::function<void(rv_Surface *, SDL_Surface *)> &show) {
    const int n = static_cast<int>(in.size());
    for (const Format &f : screen_formats) {
        SCOPED_TRACE(std::string(what) + " " + f.name);
        TestSurface s(n, 1);
        for (int x = 0; x < n; ++x) s.at(x, 0) = in[x];
        Screen screen = make_screen(n, 1, f);
        show(s.surface, screen.get());
        EXPECT_EQ(screen->locked, 0u);
        for (int x = 0; x < n; ++x) {
            EXPECT_EQ(read_pixel(screen.get(), x, 0), want[x]) << "case " << x;
            if (f.bits == 32) EXPECT_EQ(screen_byte(screen.get(), x, 0)[3], 0xA5);
        }
    }
}

}  // namespace

TEST(ShowColour, ScalesByLightAndSaturates) {
    expect_row("colour",
               {pixel(200, 100, 50, 0), pixel(200, 100, 50, 256), pixel(200, 100, 50, 512),
                pixel(100, 7, 255, 300), pixel(255, 255, 255, 65535), pixel(1, 2, 3, 128)},
               {{0, 0, 0}, {200, 100, 50}, {255, 200, 100}, {117, 8, 255}, {255, 255, 255}, {0, 1, 1}},
               [](rv_Surface *s, SDL_Surface *d) { rv_ShowColour(s, d); });
}

TEST(ShowLight, ThreePartRamp) {
    auto lit = [](int l) { return pixel(9, 9, 9, l); };
    expect_row("light", {lit(0), lit(100), lit(255), lit(256), lit(300), lit(511), lit(512), lit(65535)},
               {{0, 0, 0}, {0, 100, 0}, {0, 255, 0}, {0, 255, 0}, {44, 255, 0}, {255, 255, 0},
                {255, 255, 255}, {255, 255, 255}},
               [](rv_Surface *s, SDL_Surface *d) { rv_ShowLight(s, d); });
}

TEST(ShowHeight, RampSegmentsAndMagenta) {
    auto at = [](int z) { return pixel(0, 0, 0, 0, z); };
    expect_row("scale 64", {at(0), at(4096), at(20000), at(40000), at(50000), at(65535)},
               {{0, 0, 0}, {0, 0, 64}, {0, 56, 199}, {113, 255, 0}, {255, 255, 13}, {255, 255, 255}},
               [](rv_Surface *s, SDL_Surface *d) { rv_ShowHeight(s, d, 64); });
    expect_row("scale 128", {at(32767), at(32768), at(65535)}, {{255, 255, 255}, {255, 0, 255}, {255, 0, 255}},
               [](rv_Surface *s, SDL_Surface *d) { rv_ShowHeight(s, d, 128); });
}

// A negative 32-bit product (also one reached by wrapping) leaves the pixel.
TEST(ShowHeight, NegativeProductLeavesPixel) {
    const struct {
        int32_t scale;
        int z;
        Colour want;
    } cases[] = {
        {-1, 5, {0xA5, 0xA5, 0xA5}},       {65536, 32768, {0xA5, 0xA5, 0xA5}},
        {65536, 1, {0, 0, 16}},            {INT32_MAX, 2, {0xA5, 0xA5, 0xA5}},
        {INT32_MIN, 1, {0xA5, 0xA5, 0xA5}}, {INT32_MIN, 2, {0, 0, 0}},
        {-64, 0, {0, 0, 0}},
    };
    for (const auto &c : cases) {
        expect_row("wrap", {pixel(0, 0, 0, 0, c.z)}, {c.want},
                   [&](rv_Surface *s, SDL_Surface *d) { rv_ShowHeight(s, d, c.scale); });
    }
}

TEST(ShowProfiles, BandsOfSixtyFour) {
    TestSurface s(4, 129);
    s.fill(pixel(0, 0, 0, 0, 40000));  // rows that no band shows
    const int heights[4] = {65535, 0, 55295, 55000};  // full, d=16383, f=0 on row 10, f=73 on row 10
    for (int x = 0; x < 4; ++x) s.at(x, 0).z = static_cast<uint16_t>(heights[x]);
    s.at(0, 64).z = 0;  // band 1 shows row 64
    Screen screen = make_screen(4, 128);
    rv_ShowProfiles(s.surface, screen.get(), 64);
    for (int y = 0; y < 64; ++y) {
        SCOPED_TRACE(y);
        const int red = y == 63 ? 255 : 0, blue = y == 32 ? 255 : 0;
        EXPECT_EQ(read_pixel(screen.get(), 0, y), (Colour{red, 255, blue}));
        EXPECT_EQ(read_pixel(screen.get(), 1, y), (Colour{red, y == 63 ? 1 : 0, blue}));
        EXPECT_EQ(read_pixel(screen.get(), 2, y), (Colour{red, y >= 10 ? 255 : 0, blue}));
        EXPECT_EQ(read_pixel(screen.get(), 3, y), (Colour{red, y > 10 ? 255 : y == 10 ? 183 : 0, blue}));
        EXPECT_EQ(read_pixel(screen.get(), 0, 64 + y), read_pixel(screen.get(), 1, y));
    }
}

TEST(ShowProfiles, OneRowPerBandShowsEveryRow) {
    TestSurface s(1, 3);
    s.at(0, 0).z = 65535;  // d = 0: green 255
    s.at(0, 1).z = 0;      // d = 255: green 1
    s.at(0, 2).z = 65280;  // d = 0 as well
    Screen screen = make_screen(1, 3);
    rv_ShowProfiles(s.surface, screen.get(), 1);
    expect_picture(screen.get(), {{{255, 255, 255}}, {{255, 1, 255}}, {{255, 255, 255}}});
}

// Rows per band outside 1..32768 are held to that range.
TEST(ShowProfiles, RowsPerBandClamped) {
    TestSurface s(3, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 3; ++x) s.at(x, y).z = static_cast<uint16_t>(y * 1500 + x * 9000);
    auto picture = [&](int32_t rows) {
        Screen screen = make_screen(3, 40);
        rv_ShowProfiles(s.surface, screen.get(), rows);
        return bytes_of(screen.get());
    };
    EXPECT_EQ(picture(0), picture(1));
    EXPECT_EQ(picture(INT32_MIN), picture(1));
    EXPECT_EQ(picture(INT32_MAX), picture(32768));
    EXPECT_NE(picture(1), picture(2));
}
