// The view passes and the fused view build at several thread counts: every
// count gives the bytes of one thread, and the fused build gives the bytes
// of the separate calls made in its order by the plain code on one thread.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "core/fast_path.h"
#include "relvane.h"
#include "core/threads.h"

namespace {

const int32_t kCounts[] = {1, 2, 3, 8};

// Heights near a few levels, so that shadows, water edges and ties occur.
void fill(rv_Surface *s, std::mt19937 &rng) {
    const auto level = int32_t(rng() % 60000);
    for (int32_t y = 0; y < s->height; ++y)
        for (int32_t x = 0; x < s->width; ++x) {
            rv_Pixel &p = s->pixels[ptrdiff_t(y) * s->pitch + x];
            const uint32_t r = rng();
            std::memcpy(&p, &r, 4);
            p.light = uint16_t(rng() % 8 == 0 ? rng() : rng() % 600);
            p.z = uint16_t(std::clamp<int32_t>(level + int32_t(rng() % 4000) - 2000, 0, 65535));
        }
}

std::vector<rv_Pixel> pixels(const rv_Surface *s) {
    std::vector<rv_Pixel> v;
    for (int32_t y = 0; y < s->height; ++y)
        v.insert(v.end(), s->pixels + ptrdiff_t(y) * s->pitch, s->pixels + ptrdiff_t(y) * s->pitch + s->width);
    return v;
}

bool same(const std::vector<rv_Pixel> &a, const std::vector<rv_Pixel> &b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(rv_Pixel)) == 0;
}

// Sizes that cut the work awkwardly: one pixel, one row or column, fewer
// rows than threads, widths no multiple of a vector or of a run.
void random_size(std::mt19937 &rng, int32_t &w, int32_t &h) {
    const int32_t pick[] = {1, 2, 3, 7, 17, 64, 513, 1030};
    w = rng() % 3 ? int32_t(rng() % 300) + 1 : pick[rng() % 8];
    h = rng() % 3 ? int32_t(rng() % 120) + 1 : pick[rng() % 6];
}

float random_elevation(std::mt19937 &rng) {
    switch (rng() % 6) {
    case 0: return 45.0f;
    case 1: return float(rng() % 2);
    case 2: return rng() % 2 ? 90.0f : 89.99f;
    case 3: return -float(rng() % 300) / 10.0f;  // a rising shadow line
    default: return float(rng() % 9001) / 100.0f;
    }
}

rv_Pixel random_water(std::mt19937 &rng) {
    rv_Pixel w{};
    const uint32_t r = rng();
    std::memcpy(&w, &r, 4);
    w.alpha = uint8_t(rng() % 300);
    w.light = uint16_t(rng() % 400);
    w.z = uint16_t(rng());
    return w;
}

rv_ViewBuild random_build(std::mt19937 &rng, const rv_Surface *scene) {
    rv_ViewBuild b{};
    if (rng() % 2) b.scene = scene;
    b.relight = !b.scene || rng() % 4 == 0;
    b.light = uint16_t(rng() % 4 ? 256 : rng());
    b.slopes = rng() % 3 != 0;
    b.slope_elevation = random_elevation(rng);
    b.ambient = rng() % 2 ? 0.3f : float(int32_t(rng() % 600) - 100) / 256.0f;
    b.shadows = rng() % 3 != 0;
    b.shadow_elevation = rng() % 2 ? b.slope_elevation : random_elevation(rng);
    b.water = rng() % 2;
    b.water_pixel = random_water(rng);
    b.water_depth = int32_t(rng() % 60) - 5;
    b.haze = rng() % 2;
    b.haze_pixel = random_water(rng);
    b.haze_depth = int32_t(rng() % 200);
    return b;
}

// The separate calls, as the test program made them before the fused build.
void build_by_calls(rv_Surface *view, const rv_ViewBuild &b) {
    if (b.scene) rv_CopyRect(RV_FIELD_ALL, b.scene, nullptr, view, 0, 0);
    if (b.relight) {
        rv_Pixel p{};
        p.light = b.light;
        rv_FillRect(RV_FIELD_LIGHT, view, nullptr, &p);
    }
    if (b.slopes) rv_ShadeSlopes(view, b.slope_elevation, b.ambient);
    if (b.shadows) rv_ShadeShadows(view, b.shadow_elevation);
    if (b.water) rv_ApplyWater(view, nullptr, &b.water_pixel, b.water_depth);
    if (b.haze) rv_ApplyWater(view, nullptr, &b.haze_pixel, b.haze_depth);
}

class ViewThreads : public ::testing::Test {
protected:
    void SetUp() override {
        context = rv_NewContext();
        relvane::pixels_worth_a_thread = 1;  // every row and diagonal band is worth a worker
    }
    void TearDown() override {
        relvane::pixels_worth_a_thread = saved_grain;
#if RELVANE_SIMD
        relvane::set_fast_paths_enabled(true);
#endif
        rv_FreeContext(context);
    }
    void fast(bool on) {
#if RELVANE_SIMD
        relvane::set_fast_paths_enabled(on);
#else
        (void)on;
#endif
    }
    rv_Context *context = nullptr;
    const int64_t saved_grain = relvane::pixels_worth_a_thread;
};

// A pass on a surface (a window into a larger one half the time).
using Pass = std::function<void(rv_Surface *view, const rv_Surface *scene, std::mt19937 &rng)>;

TEST_F(ViewThreads, EveryCountGivesTheBytesOfOne) {
    const struct {
        const char *name;
        Pass pass;
    } passes[] = {
        {"copy", [](rv_Surface *v, const rv_Surface *s, std::mt19937 &rng) {
             rv_Rect r{int32_t(rng() % 5) - 2, int32_t(rng() % 5) - 2, v->width, v->height};
             rv_CopyRect(rng() % 2 ? RV_FIELD_ALL : uint32_t(rng() % 64), s, &r, v, 0, 0);
         }},
        {"slopes", [](rv_Surface *v, const rv_Surface *, std::mt19937 &rng) {
             rv_ShadeSlopes(v, random_elevation(rng), 0.3f);
         }},
        {"shadows", [](rv_Surface *v, const rv_Surface *, std::mt19937 &rng) {
             rv_ShadeShadows(v, random_elevation(rng));
         }},
        {"water", [](rv_Surface *v, const rv_Surface *, std::mt19937 &rng) {
             const rv_Pixel w = random_water(rng);
             rv_Rect r{int32_t(rng() % 9) - 4, int32_t(rng() % 9) - 4, v->width, v->height - int32_t(rng() % 3)};
             rv_ApplyWater(v, rng() % 2 ? &r : nullptr, &w, int32_t(rng() % 50));
         }},
        {"fused", [](rv_Surface *v, const rv_Surface *s, std::mt19937 &rng) {
             const rv_ViewBuild b = random_build(rng, s);
             rv_BuildView(v, &b);
         }},
    };
    std::mt19937 rng(24);
    for (const auto &p : passes)
        for (int trial = 0; trial < 40; ++trial) {
            int32_t w, h;
            random_size(rng, w, h);
            rv_Surface *scene = rv_NewSurface(context, w, h);
            rv_Surface *parent = rv_NewSurface(context, w + 3, h + 2);
            const rv_Rect window{1, 1, w, h};
            rv_Surface *view = rng() % 2 ? rv_NewSubSurface(parent, &window) : rv_NewSurface(context, w, h);
            ASSERT_TRUE(scene && parent && view);
            fill(scene, rng);
            fill(parent, rng);
            fill(view, rng);
            const std::vector<rv_Pixel> start = pixels(view), start_parent = pixels(parent);
            const uint32_t seed = rng();
            std::vector<rv_Pixel> one, one_parent;
            for (int32_t count : kCounts) {
                ASSERT_EQ(rv_SetThreads(context, count), 0);
                std::copy(start.begin(), start.end(), view->pixels);  // (a fresh view is gapless)
                if (view->parent) {
                    std::copy(start_parent.begin(), start_parent.end(), parent->pixels);
                }
                std::mt19937 same_draws(seed);
                p.pass(view, scene, same_draws);
                if (count == 1) {
                    one = pixels(view);
                    one_parent = pixels(parent);
                } else {
                    EXPECT_TRUE(same(pixels(view), one)) << p.name << " " << w << "x" << h << " at " << count;
                    EXPECT_TRUE(same(pixels(parent), one_parent)) << p.name << " outside the window";
                }
            }
            rv_FreeSurface(view);
            rv_FreeSurface(parent);
            rv_FreeSurface(scene);
        }
}

// The fused build against the separate calls by the plain code on one thread.
TEST_F(ViewThreads, FusedBuildMatchesTheSeparateCalls) {
    std::mt19937 rng(2024);
    for (int trial = 0; trial < 150; ++trial) {
        int32_t w, h;
        random_size(rng, w, h);
        rv_Surface *scene = rv_NewSurface(context, rng() % 8 ? w : w + 1, h);
        rv_Surface *view = rv_NewSurface(context, w, h);
        ASSERT_TRUE(scene && view);
        fill(scene, rng);
        fill(view, rng);
        const rv_ViewBuild b = random_build(rng, scene);
        const std::vector<rv_Pixel> start = pixels(view);

        fast(false);
        rv_SetThreads(context, 1);
        build_by_calls(view, b);
        const std::vector<rv_Pixel> expected = pixels(view);
        fast(true);
        rv_SetThreads(context, kCounts[rng() % 4]);
        std::copy(start.begin(), start.end(), view->pixels);
        rv_BuildView(view, &b);
        EXPECT_TRUE(same(pixels(view), expected))
            << w << "x" << h << " scene " << (b.scene != nullptr) << " slopes " << b.slopes << " at "
            << b.slope_elevation << " shadows " << b.shadows << " at " << b.shadow_elevation << " water "
            << b.water << " haze " << b.haze << " threads " << rv_GetThreads(context);
        rv_FreeSurface(view);
        rv_FreeSurface(scene);
    }
}

}  // namespace
