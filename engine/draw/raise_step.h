// The raise towards a level for one height at a time, shared by the plain
// code and the fast path's row tails.
#pragma once

#include "../core/lanes.h"

namespace relvane::plain {

using namespace lanes;
#include "raise_step-inl.h"

}  // namespace relvane::plain
