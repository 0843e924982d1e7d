#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "relvane.h"
#include "support/surface_helpers.h"

using relvane_test::at;

namespace {

const float kNaN = std::nanf(""), kInf = std::numeric_limits<float>::infinity();

// A surface with every light set, optionally with random heights.
struct Field : relvane_test::Canvas {
    Field(int32_t w, int32_t h, uint16_t light = 256, uint32_t seed = 0) : Canvas(w, h) {
        std::mt19937 g(seed);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                at(x, y).light = light;
                if (seed) at(x, y).z = static_cast<uint16_t>(g() % 4096);
            }
    }
    std::vector<uint16_t> lights() const {
        std::vector<uint16_t> l;
        for (const rv_Pixel &p : relvane_test::snapshot(surface)) l.push_back(p.light);
        return l;
    }
};

}  // namespace

TEST(ShadeSlopes, FlatSurfaceFactors) {
    const struct {
        float elevation;
        uint16_t factor;
    } cases[] = {{90, 384}, {45, 257}, {30, 163}, {15, 76}, {5, 76}, {kNaN, 384}};
    for (const auto &k : cases) {
        Field f(4, 3);
        rv_ShadeSlopes(f.surface, k.elevation, 0.3f);
        EXPECT_EQ(at(f.surface, 0, 0).light, k.factor) << k.elevation;
        EXPECT_EQ(at(f.surface, 2, 1).light, k.factor) << k.elevation;
        EXPECT_EQ(at(f.surface, 3, 1).light, 256);  // last column
        EXPECT_EQ(at(f.surface, 1, 2).light, 256);  // last row
    }
}

TEST(ShadeSlopes, LowElevationsCountAsOneDegree) {
    Field ref(24, 16, 256, 7);
    rv_ShadeSlopes(ref.surface, 1.0f, 0.3f);
    for (float e : {0.0f, 0.5f, -30.0f, -kInf}) {
        Field f(24, 16, 256, 7);
        rv_ShadeSlopes(f.surface, e, 0.3f);
        EXPECT_EQ(f.lights(), ref.lights()) << e;
    }
}

TEST(ShadeSlopes, FacingSlopeAndSaturation) {
    // Rising 256 per diagonal step against K = 255 at 45 degrees: m = 0.
    Field f(3, 3, 65535);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 3; ++x) at(f.surface, x, y).z = static_cast<uint16_t>(1000 + 128 * (x + y));
    at(f.surface, 1, 1).light = 256;
    at(f.surface, 0, 1).light = 100;
    rv_ShadeSlopes(f.surface, 45.0f, 0.3f);
    EXPECT_EQ(at(f.surface, 1, 1).light, 384);
    EXPECT_EQ(at(f.surface, 0, 1).light, 150);
    EXPECT_EQ(at(f.surface, 0, 0).light, 65535);  // saturates rather than wrapping
}

TEST(ShadeShadows, WorkedExample) {
    Field f(3, 3);
    at(f.surface, 0, 0).z = 2560;
    rv_ShadeShadows(f.surface, 45.0f);
    const std::vector<uint16_t> want{256, 256, 256, 256, 106, 256, 256, 256, 109};
    EXPECT_EQ(f.lights(), want);
}

TEST(ShadeShadows, FalloffByDepth) {
    const struct {
        uint16_t depth, light;
    } cases[] = {{1, 254}, {128, 190}, {1024, 127}, {8192, 65}, {65535, 14}};
    for (const auto &k : cases) {
        Field f(2, 2);
        at(f.surface, 0, 0).z = k.depth;  // at 0 degrees the line stays at this height
        rv_ShadeShadows(f.surface, 0.0f);
        EXPECT_EQ(at(f.surface, 1, 1).light, k.light) << k.depth;
        EXPECT_EQ(at(f.surface, 0, 0).light, 256);
    }
}

TEST(ShadeShadows, NothingToShadow) {
    Field rising(8, 6);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 8; ++x) at(rising.surface, x, y).z = static_cast<uint16_t>(300 * (x + y));
    rv_ShadeShadows(rising.surface, 10.0f);
    EXPECT_EQ(rising.lights(), std::vector<uint16_t>(48, 256));

    for (float e : {90.0f, 135.0f, kInf, kNaN}) {
        Field f(8, 6, 256, 3);
        rv_ShadeShadows(f.surface, e);
        EXPECT_EQ(f.lights(), std::vector<uint16_t>(48, 256)) << e;
    }
    for (auto [w, h] : {std::pair{1, 9}, std::pair{9, 1}}) {
        Field f(w, h, 256, 5);
        rv_ShadeShadows(f.surface, 0.0f);
        EXPECT_EQ(f.lights(), std::vector<uint16_t>(9, 256));
    }
}

// Any elevation: both passes keep to the window they are given (the slope
// pass also to its last column and row), and shadows only ever darken.
TEST(Shading, AnyElevationStaysInsideTheSurface) {
    const float elevations[] = {kNaN, kInf, -kInf, -90.0f, -45.0f, 0.0f, 89.9999f, 200.0f, 1e30f, -1e30f};
    for (float e : elevations) {
        Field f(20, 14, 256, 11);
        at(f.surface, 3, 3).z = 65535;
        rv_Rect r{2, 2, 15, 10};
        rv_Surface *sub = rv_NewSubSurface(f.surface, &r);
        ASSERT_NE(sub, nullptr);
        auto outside = [](int32_t x, int32_t y, int32_t right, int32_t bottom) {
            return x < 2 || y < 2 || x >= right || y >= bottom;
        };
        rv_ShadeShadows(sub, e);
        std::vector<uint16_t> before = f.lights();
        for (int32_t i = 0; i < 20 * 14; ++i) {
            EXPECT_LE(before[i], 256) << e;
            if (outside(i % 20, i / 20, 17, 12)) EXPECT_EQ(before[i], 256) << e;
        }
        rv_ShadeSlopes(sub, e, 0.3f);
        const std::vector<uint16_t> after = f.lights();
        for (int32_t i = 0; i < 20 * 14; ++i)
            if (outside(i % 20, i / 20, 16, 11)) EXPECT_EQ(after[i], before[i]) << e;
        rv_FreeSurface(sub);
    }
}
