// Fast path of the terrain generator. It returns true when it has done the
// whole operation, false to leave it to the plain code.
#pragma once

#include "../core/fast_path.h"
#include "../core/surface.h"

namespace relvane::fast {

bool fractal(rv_Surface *surface, int32_t step, float base, float amplitude, float roughness);

}  // namespace relvane::fast
