// The fractal terrain's walk over the grid: the seed pass and the refinement
// levels, generic over the displacement, so that the plain generator and its
// fast path share one order of points and of random draws.
#pragma once

#include <algorithm>
#include <cstdint>

#include "../core/float_convert.h"
#include "../core/lanes.h"
#include "../core/surface_rows.h"

namespace relvane::plain {
using namespace lanes;
#include "fractal_mean-inl.h"
}  // namespace relvane::plain

namespace relvane::fractal {

// A height moved by a level's displacement d and held to 0..65535.
inline uint16_t displaced(int32_t v, int32_t d) {
    return static_cast<uint16_t>(plain::displaced_height(v, d, 0, 65535));
}

// Largest displacement whose range 2 * a the generator still draws exactly.
constexpr int32_t kMaxAmplitude = 131080;

// A level's displacement bound from its scaled amplitude (NaN gives 0).
inline int32_t level_amplitude(float scaled) {
    return std::clamp(trunc_to_i32(scaled), 0, kMaxAmplitude);
}

// Calls f(i) for i = first, first + stride, ... while i <= last. 64-bit so
// that a step near the int32 limit cannot overflow the counter.
template <typename F>
void sweep(int64_t first, int64_t stride, int64_t last, F f) {
    for (int64_t i = first; i <= last; i += stride) f(i);
}

struct Grid {
    rv_Surface *s;
    int64_t xmax, ymax;

    // Row y clamped into the surface.
    rv_Pixel *row(int64_t y) const {
        return surface_row(s, static_cast<int32_t>(std::clamp<int64_t>(y, 0, ymax)));
    }
    int64_t col(int64_t x) const { return std::clamp<int64_t>(x, 0, xmax); }
    int32_t z(int64_t x, int64_t y) const { return row(y)[col(x)].z; }
    void set(int64_t x, int64_t y, uint16_t v) const { row(y)[x].z = v; }
};

// Seeds one row: every step pixels, then the last column once more.
template <typename Displace>
void seed_row(const Grid &g, int64_t y, int64_t step, int32_t base, Displace &D) {
    sweep(0, step, g.xmax, [&](int64_t x) { g.set(x, y, D(base)); });
    g.set(g.xmax, y, D(base));
}

// The seed pass: the seed rows, then the last row once more.
template <typename Displace>
void seed(const Grid &g, int64_t stride, int32_t base, Displace &D) {
    sweep(0, stride, g.ymax, [&](int64_t y) { seed_row(g, y, stride, base, D); });
    seed_row(g, g.ymax, stride, base, D);
}

// The edges of a level at half spacing h: top, bottom, right.
template <typename Displace>
void refine_edges(const Grid &g, int64_t h, Displace &D) {
    const int64_t xmax = g.xmax, ymax = g.ymax, h2 = 2 * h;
    for (int64_t y : {int64_t{0}, ymax})
        sweep(h, h2, xmax, [&](int64_t x) { g.set(x, y, D(plain::mean_of_two(g.z(x - h, y), g.z(x + h, y)))); });
    sweep(h, h2, ymax,
          [&](int64_t y) { g.set(xmax, y, D(plain::mean_of_two(g.z(xmax, y - h), g.z(xmax, y + h)))); });
}

// One refinement level at half spacing h; each step reads what the earlier
// ones wrote, so the order of the steps and of the sweeps is fixed.
template <typename Displace>
void refine(const Grid &g, int64_t h, Displace &D) {
    const int64_t xmax = g.xmax, ymax = g.ymax, h2 = 2 * h;
    refine_edges(g, h, D);

    // Square centres.
    sweep(h, h2, ymax, [&](int64_t y) {
        const rv_Pixel *up = g.row(y - h), *down = g.row(y + h);
        rv_Pixel *mid = g.row(y);
        sweep(h, h2, xmax, [&](int64_t x) {
            const int64_t left = x - h, right = g.col(x + h);
            mid[x].z = D(plain::mean_of_four<int32_t>(up[left].z, up[right].z, down[left].z, down[right].z));
        });
    });

    // Diamonds on the centre rows; the left edge takes the pixel half a step
    // to the right in place of its missing left neighbour.
    sweep(h, h2, ymax, [&](int64_t y) {
        const rv_Pixel *up = g.row(y - h), *down = g.row(y + h);
        rv_Pixel *mid = g.row(y);
        sweep(0, h2, xmax, [&](int64_t x) {
            const int64_t right = g.col(x + h), left = x == 0 ? right : x - h;
            mid[x].z = D(plain::mean_of_four<int32_t>(mid[left].z, up[x].z, mid[right].z, down[x].z));
        });
    });

    // Diamonds on the seed rows.
    sweep(0, h2, ymax, [&](int64_t y) {
        const rv_Pixel *up = g.row(y - h), *down = g.row(y + h);
        rv_Pixel *mid = g.row(y);
        sweep(h, h2, xmax, [&](int64_t x) {
            const int64_t left = x - h, right = g.col(x + h);
            mid[x].z = D(plain::mean_of_four<int32_t>(mid[left].z, up[x].z, mid[right].z, down[x].z));
        });
    });
}

// The passes in order with their displacement bounds: seed_pass(stride, B,
// a) once, then refine_level(h, a) for each level (a from level_amplitude).
template <typename Seed, typename Refine>
void levels(int32_t step, float base, float amplitude, float roughness, Seed seed_pass, Refine refine_level) {
    const int64_t stride = std::max<int32_t>(step, 1);
    // Held where every displacement still clamps it as it would the whole
    // value, so that B + d stays in 32 bits.
    const int32_t B = std::clamp(trunc_to_i32(base * 256.0f), -kMaxAmplitude, 65535 + kMaxAmplitude);
    seed_pass(stride, B, level_amplitude(amplitude * 256.0f));
    float f = amplitude;
    for (int64_t h = stride >> 1; h != 0; h >>= 1) {
        f = f * roughness;
        refine_level(h, level_amplitude(f * 256.0f));
    }
}

// The whole terrain. displace(a) gives the displacement object of a level
// whose bound is a; D(v) draws once and returns the displaced height held to
// 0..65535.
template <typename MakeDisplace>
void walk(rv_Surface *surface, int32_t step, float base, float amplitude, float roughness,
          MakeDisplace displace) {
    if (surface->width < 1 || surface->height < 1) return;
    const Grid g{surface, surface->width - 1, surface->height - 1};
    levels(
        step, base, amplitude, roughness,
        [&](int64_t stride, int32_t B, int32_t a) {
            auto D = displace(a);
            seed(g, stride, B, D);
        },
        [&](int64_t h, int32_t a) {
            auto D = displace(a);
            refine(g, h, D);
        });
}

}  // namespace relvane::fractal
