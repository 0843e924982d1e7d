#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "relvane.h"

namespace {

struct Field {
    rv_Context *c = rv_NewContext();
    rv_Surface *s;
    Field(int32_t w, int32_t h, uint16_t light = 256) : s(rv_NewSurface(c, w, h)) {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) at(x, y).light = light;
    }
    ~Field() {
        rv_FreeSurface(s);
        rv_FreeContext(c);
    }
    rv_Pixel &at(int32_t x, int32_t y) const { return s->pixels[y * s->pitch + x]; }
    void roughen(uint32_t seed) {
        std::mt19937 g(seed);
        for (int32_t y = 0; y < s->height; ++y)
            for (int32_t x = 0; x < s->width; ++x) at(x, y).z = static_cast<uint16_t>(g() % 4096);
    }
    std::vector<uint16_t> lights() const {
        std::vector<uint16_t> l;
        for (int32_t y = 0; y < s->height; ++y)
            for (int32_t x = 0; x < s->width; ++x) l.push_back(at(x, y).light);
        return l;
    }
};

const float kNaN = std::nanf(""), kInf = std::numeric_limits<float>::infinity();

}  // namespace

TEST(ShadeSlopes, FlatSurfaceFactors) {
    const struct {
        float elevation;
        uint16_t factor;
    } cases[] = {{90, 384}, {45, 257}, {30, 163}, {15, 76}, {5, 76}, {kNaN, 384}};
    for (const auto &k : cases) {
        Field f(4, 3);
        rv_ShadeSlopes(f.s, k.elevation, 0.3f);
        EXPECT_EQ(f.at(0, 0).light, k.factor) << k.elevation;
        EXPECT_EQ(f.at(2, 1).light, k.factor) << k.elevation;
        EXPECT_EQ(f.at(3, 1).light, 256);  // last column
        EXPECT_EQ(f.at(1, 2).light, 256);  // last row
    }
}

TEST(ShadeSlopes, LowElevationsCountAsOneDegree) {
    Field ref(24, 16);
    ref.roughen(7);
    rv_ShadeSlopes(ref.s, 1.0f, 0.3f);
    for (float e : {0.0f, 0.5f, -30.0f, -kInf}) {
        Field f(24, 16);
        f.roughen(7);
        rv_ShadeSlopes(f.s, e, 0.3f);
        EXPECT_EQ(f.lights(), ref.lights()) << e;
    }
}

TEST(ShadeSlopes, FacingSlopeAndSaturation) {
    // A slope rising 255 per diagonal step faces a 45-degree light head-on.
    Field f(3, 3, 65535);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 3; ++x) f.at(x, y).z = static_cast<uint16_t>(1000 + 128 * (x + y));
    f.at(1, 0).z = static_cast<uint16_t>(f.at(1, 0).z + 1);  // u = 1, v = 1: m = 0
    f.at(1, 1).light = 256;
    f.at(0, 1).light = 100;
    rv_ShadeSlopes(f.s, 45.0f, 0.3f);
    EXPECT_EQ(f.at(1, 1).light, 384);
    EXPECT_EQ(f.at(0, 1).light, 150);
    EXPECT_EQ(f.at(0, 0).light, 65535);  // saturates, no wrap to 32767
}

TEST(ShadeShadows, WorkedExample) {
    Field f(3, 3);
    f.at(0, 0).z = 2560;
    rv_ShadeShadows(f.s, 45.0f);
    const std::vector<uint16_t> want{256, 256, 256, 256, 106, 256, 256, 256, 109};
    EXPECT_EQ(f.lights(), want);
}

TEST(ShadeShadows, FalloffByDepth) {
    const struct {
        uint16_t depth, light;
    } cases[] = {{1, 254}, {128, 190}, {1024, 127}, {8192, 65}, {65535, 14}};
    for (const auto &k : cases) {
        Field f(2, 2);
        f.at(0, 0).z = k.depth;  // at 0 degrees the line stays at this height
        rv_ShadeShadows(f.s, 0.0f);
        EXPECT_EQ(f.at(1, 1).light, k.light) << k.depth;
        EXPECT_EQ(f.at(0, 0).light, 256);
    }
}

TEST(ShadeShadows, NothingToShadow) {
    Field rising(8, 6);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 8; ++x) rising.at(x, y).z = static_cast<uint16_t>(300 * (x + y));
    rv_ShadeShadows(rising.s, 10.0f);
    EXPECT_EQ(rising.lights(), std::vector<uint16_t>(48, 256));

    for (float e : {90.0f, 135.0f, kInf, kNaN}) {
        Field f(8, 6);
        f.roughen(3);
        rv_ShadeShadows(f.s, e);
        EXPECT_EQ(f.lights(), std::vector<uint16_t>(48, 256)) << e;
    }
    for (auto [w, h] : {std::pair{1, 9}, std::pair{9, 1}}) {
        Field f(w, h);
        f.roughen(5);
        rv_ShadeShadows(f.s, 0.0f);
        EXPECT_EQ(f.lights(), std::vector<uint16_t>(static_cast<size_t>(w * h), 256));
    }
}

// Any elevation: both passes keep to the window they are given, and shadows
// only ever darken.
TEST(Shading, AnyElevationStaysInsideTheSurface) {
    const float elevations[] = {kNaN, kInf, -kInf, -90.0f, -45.0f, 0.0f, 89.9999f, 200.0f, 1e30f, -1e30f};
    for (float e : elevations) {
        Field f(20, 14, 256);
        f.roughen(11);
        f.at(3, 3).z = 65535;
        rv_Rect r{2, 2, 15, 10};
        rv_Surface *sub = rv_NewSubSurface(f.s, &r);
        ASSERT_NE(sub, nullptr);
        auto outside = [](int32_t x, int32_t y, int32_t right, int32_t bottom) {
            return x < 2 || y < 2 || x >= right || y >= bottom;
        };
        rv_ShadeShadows(sub, e);
        for (int32_t y = 0; y < 14; ++y)
            for (int32_t x = 0; x < 20; ++x) {
                EXPECT_LE(f.at(x, y).light, 256) << e;
                if (outside(x, y, 17, 12)) EXPECT_EQ(f.at(x, y).light, 256) << e;
            }
        const std::vector<uint16_t> before = f.lights();
        rv_ShadeSlopes(sub, e, 0.3f);
        for (int32_t y = 0; y < 14; ++y)
            for (int32_t x = 0; x < 20; ++x)  // the window's last column and row stay too
                if (outside(x, y, 16, 11)) EXPECT_EQ(f.at(x, y).light, before[y * 20 + x]) << e;
        rv_FreeSurface(sub);
    }
}
