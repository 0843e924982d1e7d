// Disc, cone, dome and paraboloid: the circle scan with their height profiles.
#include <cmath>

#include "shapes.h"
#include "circle_scan.h"
#include "draw_fast.h"

namespace {

using relvane::trunc_to_u16;

struct FlatProfile {
    static constexpr bool uses_distance = false;
    uint16_t z;
    uint16_t operator()(float) const { return z; }
};

// (zb + h) - h * d / r, each step rounded to single.
struct ConeProfile {
    static constexpr bool uses_distance = true;
    float top, h, r;
    uint16_t operator()(float d) const { return trunc_to_u16(top - (h * d) / r); }
};

// zb + k * sqrt(r2 - d * d); 0 outside the circle.
struct DomeProfile {
    static constexpr bool uses_distance = true;
    float k, r2, zb;
    uint16_t operator()(float d) const {
        const float t = r2 - d * d;
        if (t < 0.0f) return 0;
        return trunc_to_u16(k * std::sqrt(t) + zb);
    }
};

// zb + 256 * h * (1 - d^2 / r^2), the last scaling in double.
struct ParaboloidProfile {
    static constexpr bool uses_distance = true;
    float r, h;
    double zb;
    uint16_t operator()(float d) const {
        const float q = (d * d) / r;
        const float t = ((r - q) * h) / r;
        return trunc_to_u16(static_cast<double>(t) * 256.0 + zb);
    }
};

}  // namespace

extern "C" {

void rv_DrawDisc(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
                 float r) {
    RELVANE_TRY_FAST(relvane::fast::draw_disc(pipe, surface, material, cx, cy, r));
    relvane::circle_scan(pipe, surface, *material, cx, cy, r, FlatProfile{material->z});
}

void rv_DrawCone(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
                 float r, float h) {
    RELVANE_TRY_FAST(relvane::fast::draw_cone(pipe, surface, material, cx, cy, r, h));
    const float top = static_cast<float>(material->z) + h;
    relvane::circle_scan(pipe, surface, *material, cx, cy, r, ConeProfile{top, h, r});
}

void rv_DrawDome(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
                 float r, float h) {
    RELVANE_TRY_FAST(relvane::fast::draw_dome(pipe, surface, material, cx, cy, r, h));
    const float k = relvane::narrow_to_float(static_cast<double>(h) * 256.0 / static_cast<double>(r));
    relvane::circle_scan(pipe, surface, *material, cx, cy, r,
                         DomeProfile{k, r * r, static_cast<float>(material->z)});
}

void rv_DrawParaboloid(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx,
                       float cy, float r, float h) {
    RELVANE_TRY_FAST(relvane::fast::draw_paraboloid(pipe, surface, material, cx, cy, r, h));
    relvane::circle_scan(pipe, surface, *material, cx, cy, r,
                         ParaboloidProfile{r, h, static_cast<double>(material->z)});
}

}  // extern "C"
