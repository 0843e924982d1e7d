// Many draws of the context's random generator at once, for the fast paths.
#pragma once

#include <cstddef>
#include <cstdint>

#include "context.h"
#include "fast_table.h"

namespace relvane::fast {

// random_displacements(c, a, out, n), an entry of the table
// (fast_table.h): writes the displacements draw - a of n consecutive draws in
// 0..2a into out, exactly as n plain draws would give them (0 each when a is
// 0), and leaves the generator where those draws leave it. 0 <= a <= 131080.

}  // namespace relvane::fast
