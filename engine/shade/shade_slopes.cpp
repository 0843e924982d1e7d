// Slope shading: scales each pixel's light by how squarely its slope faces
// a light shining from the top-left corner along the diagonal.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "shade_fast.h"
#include "../core/float_convert.h"
#include "../core/surface_rows.h"
#include "../core/angle_ratios.h"
#include "shading.h"

using relvane::trunc_to_i32;
using relvane::surface_row;

extern "C" void rv_ShadeSlopes(rv_Surface *surface, float elevation, float ambient) {
    const int32_t w = surface->width, h = surface->height;
    if (w < 2 || h < 2) return;
    // Floor of the factor (8.8 fixed point).
    const int64_t floor_factor = trunc_to_i32(static_cast<double>(ambient) * 256.0);
    const int64_t rise = relvane::slope_rise(elevation);
    RELVANE_TRY_FAST(relvane::fast::shade_slopes(surface, rise, floor_factor));

    for (int32_t y = 0; y < h - 1; ++y) {
        rv_Pixel *row = surface_row(surface, y);
        const rv_Pixel *below = surface_row(surface, y + 1);
        int64_t a = row[0].z, c = below[0].z;
        for (int32_t x = 0; x < w - 1; ++x) {
            const int64_t b = row[x + 1].z, d = below[x + 1].z;
            const float u = static_cast<float>(b - c);
            const float v = static_cast<float>(d - a - rise);
            const int64_t m = trunc_to_i32(0.5f * sqrtf(v * v + u * u));
            const int64_t factor = std::max(384 - m, floor_factor);
            // Saturates rather than wrapping a bright pixel round to dark.
            const int64_t lit = (factor * row[x].light) >> 8;
            row[x].light = static_cast<uint16_t>(std::clamp<int64_t>(lit, 0, 65535));
            a = b;
            c = d;
        }
    }
}
