// The fractal fast path's compact rows: z values of a pixel row copied into
// integer arrays and back, the even and the odd grid columns apart.
#pragma once

#include <cstdint>

#include "../core/fast_table.h"
#include "../core/pixel.h"

namespace relvane::fast {

// Counts of grid lines at half spacing h from 0 to max: the even ones 0, 2h,
// 4h, ... and the odd ones h, 3h, ...
inline int64_t even_lines(int64_t max, int64_t h) { return max / (2 * h) + 1; }
inline int64_t odd_lines(int64_t max, int64_t h) { return max >= h ? (max - h) / (2 * h) + 1 : 0; }

// Entries of the table (core/fast_table.h):
// load_grid_row(p, width, h, even, odd): in a row of width pixels, even[j] =
// z of p[2 h j] and odd[j] = z of p[h + 2 h j] for every such pixel;
// store_grid_row(p, width, h, even, odd): the reverse, leaving every other
// field and pixel as it was.

}  // namespace relvane::fast
