// The terrain generator's slot in the fast table (core/fast_table.h) and
// what its vector kernel is tuned by.
#pragma once

#include "../core/fast_path.h"
#include "../core/surface.h"

namespace relvane::fast {

// The most draws of a level the fast path makes beforehand, one after
// another, into a buffer that stays in the cache; a larger level's draws
// are made a few rows at a time where they are used. Tests lower it to
// reach the second way with small surfaces.
inline int64_t fractal_draws_ahead = 65536;

}  // namespace relvane::fast
