// Cast shadows: darkens the pixels lying below the shadow line that higher
// terrain casts along the light's diagonal.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "../core/float_convert.h"
#include "../core/surface_rows.h"
#include "../core/angle_ratios.h"
#include "shading.h"
#include "view_sweep.h"

namespace {

using relvane::trunc_to_i32;
using relvane::surface_pixel;

// Light left at shadow depth e: the mean of a narrow falloff (half at 128)
// and a wide one (half at 8192).
uint16_t darken(uint16_t light, uint64_t e) {
    const uint64_t lit = light;
    return static_cast<uint16_t>(((lit * 8192) / (e + 8192) + (lit * 128) / (e + 128)) >> 1);
}

// Walks one diagonal from (x, y) down and right. 64-bit shadow height: a
// steep line falls (or rises) by up to 2^31 per step.
void shade_diagonal(rv_Surface *s, int32_t x, int32_t y, int64_t fall) {
    const int32_t n = std::min(s->width - x, s->height - y);
    int64_t line = surface_pixel(s, x, y)->z;
    for (int32_t i = 0; i < n; ++i) {
        rv_Pixel *p = surface_pixel(s, x + i, y + i);
        line += fall;
        if (p->z >= line) {
            line = p->z;
        } else {
            p->light = darken(p->light, static_cast<uint64_t>(line - p->z));
        }
    }
}

}  // namespace

extern "C" void rv_ShadeShadows(rv_Surface *surface, float elevation) {
    // Overhead light (and NaN) casts no shadow.
    if (!(elevation < 90.0f) || surface->width < 1 || surface->height < 1) return;
    const int64_t fall = relvane::shadow_fall(elevation);
    // A line that falls a whole height range per step lies below every
    // height one step after its start: nothing is shadowed.
    if (fall <= -65536) return;
    if (fall <= 0) {
        relvane::ViewSweep s;
        s.view = surface;
        s.shadows = true;
        s.fall = static_cast<int32_t>(fall);
        if (relvane::sweep_view(s)) return;
    }
    // A rising line (elevations below 0), or no memory for the lines: each
    // diagonal walked to its end on this thread.
    for (int32_t y = 0; y < surface->height; ++y) shade_diagonal(surface, 0, y, fall);
    for (int32_t x = 1; x < surface->width; ++x) shade_diagonal(surface, x, 0, fall);
}
