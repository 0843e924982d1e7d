#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "relvane.h"
#include "support/surface_helpers.h"

using relvane_test::at;
using relvane_test::Canvas;

namespace {

std::vector<uint16_t> heights(rv_Surface *s) {
    std::vector<uint16_t> z;
    for (const rv_Pixel &p : relvane_test::snapshot(s)) z.push_back(p.z);
    return z;
}

// Draws made since rv_ResetRandom(c, 0.5), found by replaying the generator.
long draws_since_reset(const rv_Context *c) {
    rv_Context r{};
    rv_ResetRandom(&r, 0.5);
    long n = 0;
    for (; r.random_a != c->random_a || r.random_b != c->random_b; ++n) {
        if (n > 10000000) return -1;
        rv_Random(&r, 1);
    }
    return n;
}

// Runs rv_Fractal on a fresh w x h surface after rv_ResetRandom(0.5).
struct Terrain : Canvas {
    Terrain(int32_t w, int32_t h) : Canvas(w, h) { rv_ResetRandom(context, 0.5); }
};

}  // namespace

TEST(Fractal, WorkedExample) {
    Canvas t(3, 3);
    rv_ResetRandom(t.context, 0.0);
    EXPECT_EQ(rv_Random(t.context, 5120), 331u);
    rv_ResetRandom(t.context, 0.0);
    rv_Fractal(t.surface, 2, 100.0f, 10.0f, 0.5f);
    const std::vector<uint16_t> want{23371, 25460, 24997, 26364, 25194, 24402, 28079, 26561, 23822};
    EXPECT_EQ(heights(t.surface), want);
}

TEST(Fractal, OneDrawPerWrittenPoint) {
    const struct {
        int32_t w, h, step;
        float amplitude;
        long draws;
    } cases[] = {
        {3, 3, 2, 10.0f, 17},  // 9 seeds, then 8 points at half 1
        {3, 3, 2, 0.0f, 17},   // no displacement still draws
        {1, 1, 8, 10.0f, 4},   // the one pixel, four times
        {5, 4, 1, 10.0f, 30},  // step 1: (w + 1) * (h + 1)
        {1, 6, 1, 10.0f, 14},
        {7, 1, 1, 10.0f, 16},
    };
    for (const auto &k : cases) {
        Terrain t(k.w, k.h);
        rv_Fractal(t.surface, k.step, 60.0f, k.amplitude, 0.42f);
        EXPECT_EQ(draws_since_reset(t.context), k.draws) << k.w << "x" << k.h << " step " << k.step;
    }
}

TEST(Fractal, ScreenSizedGridWithStep128) {
    Terrain t(641, 481);
    rv_Fractal(t.surface, 128, 60.0f, 220.0f, 0.42f);
    const long draws = draws_since_reset(t.context);

    // Seed rows 0..384 keep their draws (later levels rewrite row 480);
    // column 640 is drawn twice and keeps the second value.
    rv_ResetRandom(t.context, 0.5);
    auto seed = [&] { return std::clamp(15360 + int32_t(rv_Random(t.context, 112640)) - 56320, 0, 65535); };
    for (int32_t y = 0; y <= 384; y += 128) {
        for (int32_t x = 0; x <= 640; x += 128) {
            const int32_t v = seed();
            if (x < 640) EXPECT_EQ(at(t.surface, x, y).z, v) << x << "," << y;
        }
        EXPECT_EQ(at(t.surface, 640, y).z, seed()) << y;
    }

    // 35 seeds (seven in each of five rows), then the levels 64 down to 1.
    auto count = [](long first, long stride, long last) { return last < first ? 0 : (last - first) / stride + 1; };
    long want = 35;
    for (long h = 64; h >= 1; h >>= 1) {
        const long cx = count(h, 2 * h, 640), cy = count(h, 2 * h, 480);
        want += 2 * cx + cy + cy * cx + cy * count(0, 2 * h, 640) + count(0, 2 * h, 480) * cx;
    }
    EXPECT_EQ(draws, want);
}

TEST(Fractal, RepeatableAndWritesOnlyHeights) {
    Terrain t(33, 20);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 33; ++x) at(t.surface, x, y) = {1, 2, 3, 4, 300, 0};
    rv_Fractal(t.surface, 8, 60.0f, 220.0f, 0.42f);
    const auto first = heights(t.surface);
    const rv_Context after = *t.context;
    rv_ResetRandom(t.context, 0.5);
    rv_Fractal(t.surface, 8, 60.0f, 220.0f, 0.42f);
    EXPECT_EQ(heights(t.surface), first);
    EXPECT_EQ(t.context->random_a, after.random_a);
    EXPECT_EQ(t.context->random_b, after.random_b);
    const rv_Pixel p = at(t.surface, 17, 9);
    EXPECT_EQ(p.red + p.green + p.blue + p.alpha, 10);
    EXPECT_EQ(p.light, 300);
}

TEST(Fractal, StepNotPowerOfTwoLeavesGaps) {
    Terrain t(13, 13);
    for (int32_t y = 0; y < 13; ++y)
        for (int32_t x = 0; x < 13; ++x) at(t.surface, x, y).z = 12345;
    rv_Fractal(t.surface, 6, 60.0f, 0.0f, 0.5f);
    EXPECT_EQ(at(t.surface, 2, 2).z, 12345);
    EXPECT_EQ(at(t.surface, 4, 8).z, 12345);
    EXPECT_EQ(at(t.surface, 0, 0).z, 15360);
}

TEST(Fractal, SeedsClampToHeightRange) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float base;
        uint16_t z;
    } cases[] = {{300.0f, 65535}, {inf, 65535}, {-inf, 0}, {std::nanf(""), 0}};
    for (const auto &k : cases) {
        Terrain t(9, 9);
        rv_Fractal(t.surface, 8, k.base, 0.0f, 0.5f);
        EXPECT_EQ(at(t.surface, 0, 0).z, k.z) << k.base;
        EXPECT_EQ(at(t.surface, 8, 8).z, k.z) << k.base;
    }
}

// Any step on windows of a larger surface: the frame stays untouched and a
// step below 1 works as step 1.
TEST(Fractal, AnyStepStaysInsideTheSurface) {
    const int32_t steps[] = {INT32_MIN, -5, 0, 1, 3, 64, INT32_MAX};
    const rv_Rect windows[] = {{1, 1, 1, 1}, {1, 1, 9, 1}, {1, 1, 1, 7}, {1, 1, 9, 7}, {2, 3, 0, 4}};
    for (const rv_Rect &r : windows) {
        for (int32_t step : steps) {
            Terrain t(11, 9);
            rv_Rect rect = r;
            rv_Surface *sub = rv_NewSubSurface(t.surface, &rect);
            ASSERT_NE(sub, nullptr);
            rv_Fractal(sub, step, 60.0f, 220.0f, 0.42f);
            for (int32_t y = 0; y < 9; ++y)
                for (int32_t x = 0; x < 11; ++x)
                    if (x < r.x || x >= r.x + r.w || y < r.y || y >= r.y + r.h)
                        EXPECT_EQ(at(t.surface, x, y).z, 0) << x << "," << y << " step " << step;
            const long draws = draws_since_reset(t.context);
            rv_ResetRandom(t.context, 0.5);
            rv_Fractal(sub, std::max(step, 1), 60.0f, 220.0f, 0.42f);
            EXPECT_EQ(draws_since_reset(t.context), draws);
            if (r.w > 0 && step <= 1) EXPECT_EQ(draws, (r.w + 1L) * (r.h + 1L));
            rv_FreeSurface(sub);
        }
    }
}

// Amplitudes past the generator's exact range act as the largest exact one
// (2 x 131080), negative and NaN ones as 0, level by level.
TEST(Fractal, OutOfRangeAmplitudesAreClamped) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    const struct {
        float amplitude, roughness, same_amplitude, same_roughness;
    } cases[] = {
        {1e9f, 1.0f, 512.03125f, 1.0f}, {inf, 1.0f, 512.03125f, 1.0f}, {-10.0f, 0.5f, 0.0f, 0.5f},
        {nan, 0.5f, 0.0f, 0.5f},        {10.0f, nan, 10.0f, 0.0f},     {10.0f, 1e30f, 10.0f, 1e6f},
        {inf, 0.0f, 512.03125f, 0.0f},  // inf x 0 is NaN: no displacement
    };
    for (const auto &k : cases) {
        Terrain t(17, 17), u(17, 17);
        rv_Fractal(t.surface, 16, 128.0f, k.amplitude, k.roughness);
        rv_Fractal(u.surface, 16, 128.0f, k.same_amplitude, k.same_roughness);
        EXPECT_EQ(heights(t.surface), heights(u.surface)) << k.amplitude << " " << k.roughness;
        EXPECT_EQ(t.context->random_a, u.context->random_a);
    }
}
