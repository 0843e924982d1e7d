// Fractal terrain by midpoint displacement on a square grid.
#include "fractal.h"

#include <cstdint>

#include "terrain_fast.h"
#include "../core/random_draw.h"
#include "fractal_rows.h"
#include "fractal_walk.h"

namespace {

using relvane::random_divisor;
using relvane::random_draw;

// Displacement of one level: a draw in -a .. a from the context's generator.
struct Displace {
    rv_Context *context;
    int32_t a;
    uint32_t divisor;

    Displace(rv_Context *c, int32_t amplitude) : context(c), a(amplitude) {
        // A range of 0 still advances both generators and draws 0.
        divisor = random_divisor(static_cast<uint32_t>(2 * a));
    }

    // One draw per written point; the height is clamped to 0..65535.
    uint16_t operator()(int32_t v) const {
        return relvane::fractal::displaced(v, static_cast<int32_t>(random_draw(context, divisor)) - a);
    }
};

}  // namespace

RELVANE_PLAIN_KERNEL(fractal) {
    rv_Context *c = surface->context;
    relvane::fractal::walk(surface, step, base, amplitude, roughness,
                           [c](int32_t a) { return Displace(c, a); });
}

// Compact grid rows, a point at a time.
RELVANE_PLAIN_KERNEL(load_grid_row) {
    for (int64_t j = 0; j < relvane::fast::even_lines(width - 1, h); j++) even[j] = p[2 * h * j].z;
    for (int64_t j = 0; j < relvane::fast::odd_lines(width - 1, h); j++) odd[j] = p[h + 2 * h * j].z;
}

RELVANE_PLAIN_KERNEL(store_grid_row) {
    for (int64_t j = 0; j < relvane::fast::even_lines(width - 1, h); j++) p[2 * h * j].z = static_cast<uint16_t>(even[j]);
    for (int64_t j = 0; j < relvane::fast::odd_lines(width - 1, h); j++) p[h + 2 * h * j].z = static_cast<uint16_t>(odd[j]);
}

extern "C" void rv_Fractal(rv_Surface *surface, int32_t step, float base, float amplitude,
                           float roughness) {
    relvane::fast::fractal(surface, step, base, amplitude, roughness);
}
