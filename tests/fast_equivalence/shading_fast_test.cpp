#if RELVANE_SIMD
#include <cmath>

#include "core/float_convert.h"
#include "fast_compare.h"

namespace {

using relvane::trunc_to_i32;

// Elevations: the test program's range, the 1-degree floor and beyond 90.
float random_elevation(std::mt19937 &rng) {
    switch (rng() % 5) {
    case 0: return 45.0f;
    case 4: return rng() % 2 ? 89.9999f : 0.0f;
    case 1: return float(rng() % 9001) / 100.0f;
    case 2: return float(rng() % 200) / 100.0f;
    default: return float(rng() % 3600) / 10.0f - 90.0f;
    }
}

float random_ambient(std::mt19937 &rng) {
    return rng() % 2 ? 0.3f : float(int32_t(rng() % 500) - 100) / 256.0f;
}

RELVANE_FAST_SUITE(ShadingFast);

TEST_P(ShadingFast, SlopesMatchPlain) {
    fastcheck::compare(
        3000, 60, 12, 21,
        [](rv_Surface *s, std::mt19937 &rng) {
            const float e = random_elevation(rng);
            rv_ShadeSlopes(s, e, random_ambient(rng));
        },
        [](rv_Surface *s, std::mt19937 &rng) {
            const float e = random_elevation(rng);
            const float ambient = random_ambient(rng);
            const float alpha = e < 1.0f ? 89.0f : 90.0f - e;
            const double angle = double(alpha + alpha) * M_PI / 360.0;
            return relvane::fast::shade_slopes(s, trunc_to_i32(std::tan(angle) * 256.0),
                                               trunc_to_i32(double(ambient) * 256.0));
        });
}

TEST(ShadingFastRange, SlopesLeaveOutOfRangeParametersToPlainCode) {
    std::mt19937 rng(3);
    fastcheck::Case c(rng, 8, 8);
    EXPECT_FALSE(relvane::fast::shade_slopes(c.surface, 1 << 23, 76));
    EXPECT_FALSE(relvane::fast::shade_slopes(c.surface, 255, 385));
}

TEST_P(ShadingFast, ShadowsMatchPlain) {
    fastcheck::compare(
        3000, 60, 40, 22,
        [](rv_Surface *s, std::mt19937 &rng) { rv_ShadeShadows(s, random_elevation(rng)); },
        [](rv_Surface *s, std::mt19937 &rng) {
            const float e = random_elevation(rng);
            if (!(e < 90.0f) || s->width < 1 || s->height < 1) return true;  // plain code returns early
            const double angle = double(e + e) * M_PI / -360.0;
            return relvane::fast::shade_shadows(s, trunc_to_i32(std::tan(angle) * 256.0));
        });
}

TEST(ShadingFastRange, ShadowsLeaveARisingLineToPlainCode) {
    std::mt19937 rng(4);
    fastcheck::Case c(rng, 8, 8);
    EXPECT_FALSE(relvane::fast::shade_shadows(c.surface, 1));
}

}  // namespace
#endif
