// Fast path of the terrain generator: the table's fractal entry
// (core/fast_table.h), which returns true when it has done the whole
// operation, false to leave it to the plain code.
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
