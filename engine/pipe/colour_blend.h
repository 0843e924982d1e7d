// The colour write's blend as the plain code uses it, one channel at a time
// (the fast paths' tails take it through the plain stages' steps).
#pragma once

#include "../core/lanes.h"

namespace relvane::plain {

using namespace lanes;
#include "colour_blend-inl.h"

}  // namespace relvane::plain
