#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "relvane.h"

namespace {

struct Scene {
    rv_Context *c = rv_NewContext();
    rv_Surface *s;
    Scene(int32_t w, int32_t h) : s(rv_NewSurface(c, w, h)) { rv_ResetRandom(c, 0.5); }
    ~Scene() {
        rv_FreeSurface(s);
        rv_FreeContext(c);
    }
    rv_Pixel &at(int32_t x, int32_t y) const { return s->pixels[y * s->pitch + x]; }
    std::vector<uint16_t> heights() const {
        std::vector<uint16_t> z;
        for (int32_t y = 0; y < s->height; ++y)
            for (int32_t x = 0; x < s->width; ++x) z.push_back(at(x, y).z);
        return z;
    }
    // Draws the call made, measured by replaying the generator from the reset.
    long draws_since_reset() const {
        rv_Context *r = rv_NewContext();
        rv_ResetRandom(r, 0.5);
        long n = 0;
        while ((r->random_a != c->random_a || r->random_b != c->random_b) && n < 10000000) {
            rv_Random(r, 1);
            ++n;
        }
        rv_FreeContext(r);
        return n;
    }
};

// Points of first, first + stride, ... up to last.
long count(long first, long stride, long last) { return last < first ? 0 : (last - first) / stride + 1; }

}  // namespace

TEST(Fractal, WorkedExample) {
    Scene t(3, 3);
    rv_ResetRandom(t.c, 0.0);
    EXPECT_EQ(rv_Random(t.c, 5120), 331u);
    rv_ResetRandom(t.c, 0.0);
    rv_Fractal(t.s, 2, 100.0f, 10.0f, 0.5f);
    const std::vector<uint16_t> want{23371, 25460, 24997, 26364, 25194, 24402, 28079, 26561, 23822};
    EXPECT_EQ(t.heights(), want);
}

TEST(Fractal, OneDrawPerWrittenPoint) {
    struct Case {
        int32_t w, h, step;
        float amplitude;
        long draws;
    };
    const Case cases[] = {
        {3, 3, 2, 10.0f, 17},  // 9 seeds, then 8 points at half 1
        {3, 3, 2, 0.0f, 17},   // no displacement still draws
        {1, 1, 8, 10.0f, 4},   // the one pixel, four times
        {5, 4, 1, 10.0f, 30},  // step 1: (w + 1) * (h + 1)
        {1, 6, 1, 10.0f, 14},
        {7, 1, 1, 10.0f, 16},
    };
    for (const Case &k : cases) {
        Scene t(k.w, k.h);
        rv_Fractal(t.s, k.step, 60.0f, k.amplitude, 0.42f);
        EXPECT_EQ(t.draws_since_reset(), k.draws) << k.w << "x" << k.h << " step " << k.step;
    }
}

TEST(Fractal, ScreenSizedGridWithStep128) {
    Scene t(641, 481);
    rv_Fractal(t.s, 128, 60.0f, 220.0f, 0.42f);

    // The seed rows 0..384 keep their draws; column 640 keeps the second one.
    rv_ResetRandom(t.c, 0.5);
    for (int32_t y = 0; y <= 384; y += 128) {
        for (int32_t x = 0; x <= 640; x += 128) {
            const int32_t v = 15360 + static_cast<int32_t>(rv_Random(t.c, 2 * 56320)) - 56320;
            if (x < 640) EXPECT_EQ(t.at(x, y).z, std::clamp(v, 0, 65535)) << x << "," << y;
        }
        const int32_t v = 15360 + static_cast<int32_t>(rv_Random(t.c, 2 * 56320)) - 56320;
        EXPECT_EQ(t.at(640, y).z, std::clamp(v, 0, 65535)) << y;
    }

    // 35 seeds (rows 0, 128, 256, 384, 480, seven each), then levels 64 .. 1.
    long draws = 35;
    for (long h = 64; h >= 1; h >>= 1) {
        const long cx = count(h, 2 * h, 640), cy = count(h, 2 * h, 480);
        draws += 2 * cx + cy + cy * cx + cy * count(0, 2 * h, 640) + count(0, 2 * h, 480) * cx;
    }
    rv_ResetRandom(t.c, 0.5);
    rv_Fractal(t.s, 128, 60.0f, 220.0f, 0.42f);
    EXPECT_EQ(t.draws_since_reset(), draws);
}

TEST(Fractal, RepeatableAndWritesOnlyHeights) {
    Scene t(33, 20);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 33; ++x) t.at(x, y) = {1, 2, 3, 4, 300, 0};
    rv_Fractal(t.s, 8, 60.0f, 220.0f, 0.42f);
    const auto first = t.heights();
    const uint32_t a = t.c->random_a, b = t.c->random_b;
    rv_ResetRandom(t.c, 0.5);
    rv_Fractal(t.s, 8, 60.0f, 220.0f, 0.42f);
    EXPECT_EQ(t.heights(), first);
    EXPECT_EQ(t.c->random_a, a);
    EXPECT_EQ(t.c->random_b, b);
    const rv_Pixel p = t.at(17, 9);
    EXPECT_EQ(p.red + p.green + p.blue + p.alpha, 10);
    EXPECT_EQ(p.light, 300);
}

TEST(Fractal, StepNotPowerOfTwoLeavesGaps) {
    Scene t(13, 13);
    for (int32_t y = 0; y < 13; ++y)
        for (int32_t x = 0; x < 13; ++x) t.at(x, y).z = 12345;
    rv_Fractal(t.s, 6, 60.0f, 0.0f, 0.5f);
    EXPECT_EQ(t.at(2, 2).z, 12345);
    EXPECT_EQ(t.at(4, 8).z, 12345);
    EXPECT_EQ(t.at(0, 0).z, 15360);
}

TEST(Fractal, SeedsClampToHeightRange) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float base;
        uint16_t z;
    } cases[] = {{300.0f, 65535}, {inf, 65535}, {-inf, 0}, {std::nanf(""), 0}};
    for (const auto &k : cases) {
        Scene t(9, 9);
        rv_Fractal(t.s, 8, k.base, 0.0f, 0.5f);
        EXPECT_EQ(t.at(0, 0).z, k.z) << k.base;
        EXPECT_EQ(t.at(8, 8).z, k.z) << k.base;
    }
}

// Odd steps and sizes: runs on a window of a larger surface, whose frame
// must stay untouched; a step below 1 works as step 1.
TEST(Fractal, AnyStepStaysInsideTheSurface) {
    const int32_t steps[] = {std::numeric_limits<int32_t>::min(), -5, 0, 1, 3, 64,
                             std::numeric_limits<int32_t>::max()};
    const rv_Rect windows[] = {{1, 1, 1, 1}, {1, 1, 9, 1}, {1, 1, 1, 7}, {1, 1, 9, 7}, {2, 3, 0, 4}};
    for (const rv_Rect &r : windows) {
        for (int32_t step : steps) {
            Scene t(11, 9);
            rv_Rect rect = r;
            rv_Surface *sub = rv_NewSubSurface(t.s, &rect);
            ASSERT_NE(sub, nullptr);
            rv_Fractal(sub, step, 60.0f, 220.0f, 0.42f);
            for (int32_t y = 0; y < 9; ++y)
                for (int32_t x = 0; x < 11; ++x) {
                    const bool inside = x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
                    if (!inside) EXPECT_EQ(t.at(x, y).z, 0) << x << "," << y << " step " << step;
                }
            const long draws = t.draws_since_reset();
            if (step < 1) {
                rv_ResetRandom(t.c, 0.5);
                rv_Fractal(sub, 1, 60.0f, 220.0f, 0.42f);
                EXPECT_EQ(t.draws_since_reset(), draws);
            }
            if (r.w > 0 && step == 1) EXPECT_EQ(draws, (r.w + 1L) * (r.h + 1L));
            rv_FreeSurface(sub);
        }
    }
}

// Amplitudes past the generator's exact range act as the largest exact one;
// negative and NaN amplitudes as 0. Roughness applies the same per level.
TEST(Fractal, OutOfRangeAmplitudesAreClamped) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    struct Case {
        float amplitude, roughness, same_amplitude, same_roughness;
    };
    const Case cases[] = {
        {1e9f, 1.0f, 512.03125f, 1.0f},  // 2 * a clamped to 262160
        {inf, 1.0f, 512.03125f, 1.0f},
        {-10.0f, 0.5f, 0.0f, 0.5f},
        {nan, 0.5f, 0.0f, 0.5f},
        {10.0f, nan, 10.0f, 0.0f},
        {10.0f, 1e30f, 10.0f, 1e6f},      // every level saturates
        {inf, 0.0f, 512.03125f, 0.0f},    // inf * 0 is NaN: no displacement
    };
    for (const Case &k : cases) {
        Scene t(17, 17), u(17, 17);
        rv_Fractal(t.s, 16, 128.0f, k.amplitude, k.roughness);
        rv_Fractal(u.s, 16, 128.0f, k.same_amplitude, k.same_roughness);
        EXPECT_EQ(t.heights(), u.heights()) << k.amplitude << " " << k.roughness;
        EXPECT_EQ(t.c->random_a, u.c->random_a);
    }
}
