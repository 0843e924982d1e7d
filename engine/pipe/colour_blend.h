// The colour write's blend for one channel at a time, shared by the plain
// stages and the fast paths' row tails.
#pragma once

#include "../core/lanes.h"

namespace relvane::plain {

using namespace lanes;
#include "colour_blend-inl.h"

}  // namespace relvane::plain
