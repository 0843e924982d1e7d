#if RELVANE_SIMD
#include <cmath>
#include <cstring>

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

// (ambients above 1.5 give floors the vector step leaves to the plain kernel)
TEST_P(ShadingFast, SlopesMatchPlain) {
    const auto slopes = [](rv_Surface *s, std::mt19937 &rng) {
        const float e = random_elevation(rng);
        rv_ShadeSlopes(s, e, random_ambient(rng));
    };
    fastcheck::compare(3000, 60, 12, 21, slopes, slopes);
}

TEST_P(ShadingFast, ShadowsMatchPlain) {
    const auto shadows = [](rv_Surface *s, std::mt19937 &rng) { rv_ShadeShadows(s, random_elevation(rng)); };
    fastcheck::compare(3000, 60, 40, 22, shadows, shadows);
}

// The view build in one sweep against its calls made one by one by the plain
// code, with random steps (a scene made from the same draws on both sides).
TEST_P(ShadingFast, FusedViewMatchesTheCalls) {
    struct Build {
        rv_ViewBuild b{};
        rv_Surface *scene = nullptr;
        Build(rv_Surface *view, std::mt19937 &rng) {
            if (rng() % 2) {
                scene = rv_NewSurface(view->context, view->width, view->height);
                for (int32_t i = 0; i < view->width * view->height; i++) {
                    const uint64_t r = uint64_t(rng()) << 32 | rng();
                    std::memcpy(&scene->pixels[i], &r, 8);
                    scene->pixels[i].z = uint16_t(scene->pixels[i].z % 4096 + 30000);
                }
            }
            b.scene = scene;
            b.relight = int32_t(rng() % 2);
            b.light = uint16_t(rng() % 3 ? 256 : rng());
            b.slopes = int32_t(rng() % 3 != 0);
            b.slope_elevation = random_elevation(rng);
            b.ambient = random_ambient(rng);
            b.shadows = int32_t(rng() % 3 != 0);
            b.shadow_elevation = rng() % 2 ? b.slope_elevation : random_elevation(rng);
            b.water = int32_t(rng() % 2);
            b.haze = int32_t(rng() % 2);
            for (rv_Pixel *w : {&b.water_pixel, &b.haze_pixel}) {
                const uint64_t r = uint64_t(rng()) << 32 | rng();
                std::memcpy(w, &r, 8);
                w->z = uint16_t(rng() % 2 ? w->z : 30000 + rng() % 4096);
            }
            b.water_depth = int32_t(rng() % 300) - 20;
            b.haze_depth = int32_t(rng() % 300);
        }
        ~Build() {
            if (scene) rv_FreeSurface(scene);
        }
    };
    fastcheck::compare(
        600, 90, 12, 23,
        [](rv_Surface *s, std::mt19937 &rng) {
            const Build build(s, rng);
            const rv_ViewBuild &b = build.b;
            if (b.scene) rv_CopyRect(RV_FIELD_ALL, b.scene, nullptr, s, 0, 0);
            rv_Pixel p{};
            p.light = b.light;
            if (b.relight) rv_FillRect(RV_FIELD_LIGHT, s, nullptr, &p);
            if (b.slopes) rv_ShadeSlopes(s, b.slope_elevation, b.ambient);
            if (b.shadows) rv_ShadeShadows(s, b.shadow_elevation);
            if (b.water) rv_ApplyWater(s, nullptr, &b.water_pixel, b.water_depth);
            if (b.haze) rv_ApplyWater(s, nullptr, &b.haze_pixel, b.haze_depth);
        },
        [](rv_Surface *s, std::mt19937 &rng) {
            const Build build(s, rng);
            rv_BuildView(s, &build.b);
            return true;
        });
}

}  // namespace
#endif
