// Fast paths of the shading passes. Each returns true when it has done the
// whole operation, false to leave it to the plain code.
#pragma once

#include "../core/fast_path.h"
#include "../core/surface.h"

namespace relvane::fast {

// rise: the facing slope's rise per diagonal step; floor: the smallest factor.
bool shade_slopes(rv_Surface *surface, int64_t rise, int64_t floor);
// fall: how far the shadow line drops per diagonal step.
bool shade_shadows(rv_Surface *surface, int64_t fall);

}  // namespace relvane::fast
