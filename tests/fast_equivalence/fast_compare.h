// Harness for the fast-path tests: random surfaces, an operation run with the
// table of plain kernels and again with the table of each vector target that
// is compiled in and that this processor runs.
#pragma once

#include <gtest/gtest.h>
#include <hwy/targets.h>
#include <hwy/tests/hwy_gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "core/fast_path.h"
#include "draw/draw_fast.h"
#include "terrain/terrain_fast.h"
#include "display/display_fast.h"
#include "relvane.h"

namespace fastcheck {

// A suite of fast-path comparisons run per target: the fast entry points
// dispatch to the target the test forces.
class PerTarget : public hwy::TestWithParamTarget {
protected:
    void SetUp() override {
        hwy::TestWithParamTarget::SetUp();
        relvane::choose_fast_paths();  // the table is chosen once: again for the forced target
    }
    void TearDown() override {
        hwy::TestWithParamTarget::TearDown();
        relvane::choose_fast_paths();
    }
};

// Declares suite as a per-target suite; use TEST_P(suite, name).
#define RELVANE_FAST_SUITE(suite)                      \
    class suite : public ::fastcheck::PerTarget {};    \
    HWY_TARGET_INSTANTIATE_TEST_SUITE_P(suite)

// A context with a source surface of random size and content.
struct Case {
    rv_Context *context = nullptr;
    rv_Surface *surface = nullptr;
    Case(const Case &) = delete;
    Case &operator=(const Case &) = delete;
    Case(std::mt19937 &rng, int32_t max_w, int32_t max_h) {
        context = rv_NewContext();
        const auto w = int32_t(rng() % uint32_t(max_w + 1));
        const auto h = int32_t(rng() % uint32_t(max_h + 1));
        surface = rv_NewSurface(context, w, h);
        fill(rng);
    }
    ~Case() {
        rv_FreeSurface(surface);
        rv_FreeContext(context);
    }
    size_t count() const { return size_t(surface->width) * size_t(surface->height); }
    // Heights cluster near a few levels half the time, so that ties and the
    // edges of every comparison are hit; light ranges over all 16 bits.
    void fill(std::mt19937 &rng) {
        const uint16_t centre = uint16_t(rng());
        for (size_t i = 0; i < count(); i++) {
            rv_Pixel &p = surface->pixels[i];
            const uint32_t r = rng();
            std::memcpy(&p, &r, 4);
            p.light = uint16_t(rng() % 4 == 0 ? rng() : rng() % 600);
            p.z = uint16_t(rng() % 2 ? rng() : centre + int(rng() % 64) - 32);
        }
    }
    std::vector<rv_Pixel> pixels() const {
        return std::vector<rv_Pixel>(surface->pixels, surface->pixels + count());
    }
    void set(const std::vector<rv_Pixel> &p) { std::copy(p.begin(), p.end(), surface->pixels); }
};

// Null half the time, else a rectangle that may stick out of the surface.
struct MaybeRect {
    rv_Rect r{};
    bool null;
    explicit MaybeRect(std::mt19937 &rng) : null(rng() % 2 == 0) {
        r = {int32_t(rng() % 40) - 10, int32_t(rng() % 20) - 5, int32_t(rng() % 60), int32_t(rng() % 20)};
    }
    rv_Rect *get() { return null ? nullptr : &r; }
};

inline bool same(const std::vector<rv_Pixel> &a, const std::vector<rv_Pixel> &b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(rv_Pixel)) == 0);
}

// Runs plain with the plain kernels in the table and fast with the target's
// on copies of a random surface and expects identical pixels.
template <typename Plain, typename Fast>
void compare(int trials, int32_t max_w, int32_t max_h, uint32_t seed, Plain plain, Fast fast) {
    std::mt19937 rng(seed);
    for (int t = 0; t < trials; t++) {
        Case c(rng, max_w, max_h);
        const auto before = c.pixels();
        const uint32_t param_seed = rng();
        std::mt19937 p1(param_seed), p2(param_seed);
        relvane::set_fast_paths_enabled(false);
        plain(c.surface, p1);
        relvane::set_fast_paths_enabled(true);
        const auto expected = c.pixels();
        c.set(before);
        fast(c.surface, p2);
        ASSERT_TRUE(same(expected, c.pixels()))
            << "trial " << t << " size " << c.surface->width << "x" << c.surface->height;
    }
}

}  // namespace fastcheck
