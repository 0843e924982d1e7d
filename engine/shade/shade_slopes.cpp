// Slope shading: scales each pixel's light by how squarely its slope faces
// a light shining from the top-left corner along the diagonal.
#include "../core/angle_ratios.h"
#include "../core/float_convert.h"
#include "shading.h"
#include "view_sweep.h"

extern "C" void rv_ShadeSlopes(rv_Surface *surface, float elevation, float ambient) {
    if (surface->width < 2 || surface->height < 2) return;
    relvane::ViewSweep s;
    s.view = surface;
    s.slopes = true;
    s.rise = static_cast<int32_t>(relvane::slope_rise(elevation));
    // Floor of the factor (8.8 fixed point).
    s.floor = relvane::trunc_to_i32(static_cast<double>(ambient) * 256.0);
    relvane::sweep_view(s);
}
