#include <cmath>
#include <cstring>
#include <limits>
#include <pthread.h>
#include <random>
#include <vector>

#include "screen_fixture.h"

using namespace relvane_test;

namespace {

int32_t top_entry(TestSurface &s, int x) {
    int32_t v;
    std::memcpy(&v, reinterpret_cast<const char *>(&s.at(0, s.surface->height - 1)) + 4 * x, 4);
    return v;
}

// Two columns of six slices with varied colours, light and heights.
void fill_scene(TestSurface &s) {
    const Colour colours[7] = {{250, 10, 10}, {10, 250, 10}, {10, 10, 250}, {200, 200, 0},
                               {0, 200, 200}, {99, 99, 99},  {5, 5, 5}};
    const int heights[7][2] = {{900, 100}, {300, 600}, {500, 50}, {200, 400}, {100, 300}, {0, 0}, {0, 0}};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 2; ++x)
            s.at(x, y) = pixel(colours[y].r, colours[y].g, colours[y].b, 256 + 40 * x, heights[y][x]);
}

}  // namespace

// A 2 x 3 screen over a flat 3 x 4 surface at 45 degrees.
TEST(ShowTilted, WorkedExample) {
    for (const Format &f : screen_formats) {
        SCOPED_TRACE(f.name);
        TestSurface s(3, 4);
        s.fill(pixel(0, 0, 0, 256));
        for (int x = 0; x < 3; ++x) {
            s.at(x, 0) = pixel(200, 100, 50, 256);
            s.at(x, 1) = pixel(10, 20, 30, 256);
        }
        Screen screen = make_screen(2, 3, f);
        rv_ShowTilted(s.surface, screen.get(), 45.0f);
        expect_picture(screen.get(), {{{119, 78, 76}, {119, 78, 76}},
                                      {{65, 43, 35}, {65, 43, 35}},
                                      {{0, 0, 0}, {0, 0, 0}}});
        EXPECT_EQ(top_entry(s, 0), 150);
        EXPECT_EQ(top_entry(s, 1), 150);
        EXPECT_EQ(s.at(0, 2).light, 0);  // the nearest row, drawn black
        EXPECT_EQ(s.at(1, 2).light, 0);
        EXPECT_EQ(s.at(2, 2).light, 256);  // beyond the screen's width
        EXPECT_EQ(screen->locked, 0u);
        if (f.bits == 32) EXPECT_EQ(screen_byte(screen.get(), 1, 1)[3], 0xA5);
    }
}

// At 0 degrees the picture is the silhouette; at 90 the angle rounds to just
// above a right angle, so S = 65535 and C = 0: slices sit 1/256 row low and
// every boundary blend takes 1/255 of the farther slice.
TEST(ShowTilted, Angles) {
    const struct {
        float angle;
        int32_t tops[2];
        std::vector<std::vector<Colour>> picture;
    } cases[] = {
        {0.0f, {380, 680},
         {{{64, 64, 96}, {64, 64, 96}}, {{158, 36, 51}, {64, 64, 96}}, {{250, 10, 10}, {45, 128, 66}},
          {{21, 9, 237}, {111, 240, 26}}, {{96, 156, 114}, {0, 231, 231}}, {{0, 0, 0}, {0, 0, 0}}}},
        {45.0f, {0, 132},
         {{{249, 9, 9}, {38, 155, 54}}, {{91, 87, 87}, {11, 255, 11}}, {{10, 10, 250}, {123, 241, 5}},
          {{192, 192, 8}, {107, 230, 122}}, {{3, 199, 195}, {0, 231, 231}}, {{0, 0, 0}, {0, 0, 0}}}},
        {89.0f, {0, 0},
         {{{244, 12, 8}, {244, 18, 9}}, {{9, 242, 16}, {11, 255, 11}}, {{11, 11, 247}, {14, 14, 248}},
          {{199, 199, 0}, {226, 230, 3}}, {{0, 200, 200}, {0, 231, 231}}, {{0, 0, 0}, {0, 0, 0}}}},
        {90.0f, {1, 1},
         {{{248, 10, 10}, {253, 11, 11}}, {{10, 248, 9}, {11, 253, 10}}, {{9, 10, 248}, {10, 11, 253}},
          {{198, 198, 0}, {229, 229, 0}}, {{0, 199, 198}, {0, 230, 229}}, {{0, 0, 0}, {0, 0, 0}}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.angle);
        TestSurface s(2, 7);
        fill_scene(s);
        Screen screen = make_screen(2, 6);
        rv_ShowTilted(s.surface, screen.get(), c.angle);
        expect_picture(screen.get(), c.picture);
        EXPECT_EQ(top_entry(s, 0), c.tops[0]);
        EXPECT_EQ(top_entry(s, 1), c.tops[1]);
    }
}

// Terrain above the screen: top held at 0, no sky, row 0 blended with f = 0
// by every farther slice that rises above it and by the sky.
TEST(ShowTilted, TerrainAboveTheScreen) {
    TestSurface s(1, 4);
    s.at(0, 0) = pixel(9, 9, 9, 256, 3000);
    s.at(0, 1) = pixel(200, 100, 50, 256, 2000);
    Screen screen = make_screen(1, 3);
    rv_ShowTilted(s.surface, screen.get(), 0.0f);
    expect_picture(screen.get(), {{{198, 98, 48}}, {{200, 100, 50}}, {{0, 0, 0}}});
    EXPECT_EQ(top_entry(s, 0), 0);
}

// A surface as tall as the screen keeps its last row for the top buffer; the
// nearest drawn row is h - 2 and its front face fills the screen's last row.
TEST(ShowTilted, SurfaceAsTallAsScreen) {
    TestSurface s(1, 3);
    s.at(0, 0) = pixel(200, 100, 50, 256);
    s.at(0, 1) = pixel(70, 70, 70, 256);
    s.at(0, 2) = pixel(30, 30, 30, 256);
    Screen screen = make_screen(1, 3);
    rv_ShowTilted(s.surface, screen.get(), 90.0f);
    expect_picture(screen.get(), {{{64, 64, 96}}, {{198, 99, 49}}, {{0, 0, 0}}});
    EXPECT_EQ(s.at(0, 1).light, 0);
    EXPECT_EQ(top_entry(s, 0), 257);
}

// Angles outside 0..90 are held to the nearer end; NaN counts as 0.
TEST(ShowTilted, AnglesOutsideRangeAreClamped) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float angle, same_as;
    } cases[] = {{-10.0f, 0.0f}, {-inf, 0.0f}, {std::nanf(""), 0.0f}, {-0.0f, 0.0f},
                 {200.0f, 90.0f}, {1e30f, 90.0f}, {inf, 90.0f}};
    auto picture = [](float angle) {
        TestSurface s(2, 7);
        fill_scene(s);
        Screen screen = make_screen(2, 6);
        rv_ShowTilted(s.surface, screen.get(), angle);
        return bytes_of(screen.get());
    };
    for (const auto &c : cases) EXPECT_EQ(picture(c.angle), picture(c.same_as)) << c.angle;
}

// The view needs little stack: a caller's thread with a small one draws the
// same picture as the main thread.
TEST(ShowTilted, SmallThreadStack) {
    struct Job {
        TestSurface s{300, 201};
        Screen screen = make_screen(300, 200);
        static void *run(void *job) {
            auto *j = static_cast<Job *>(job);
            rv_ShowTilted(j->s.surface, j->screen.get(), 30.0f);
            return nullptr;
        }
    };
    auto job = [] {
        auto j = std::make_unique<Job>();
        std::mt19937 rng(7);
        for (int y = 0; y < 201; ++y)
            for (int x = 0; x < 300; ++x) j->s.at(x, y) = pixel(int(rng() % 256), 90, 40, 256, int(rng() % 4000));
        return j;
    };
    auto here = job(), there = job();
    Job::run(here.get());
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    ASSERT_EQ(pthread_attr_setstacksize(&attr, 192 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, Job::run, there.get()), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_EQ(bytes_of(here->screen.get()), bytes_of(there->screen.get()));
}
