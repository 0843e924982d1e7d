// The fractal fast path's compact rows: z values of a pixel row copied into
// integer arrays and back, the even and the odd grid columns apart.
#pragma once

#include <cstdint>

#include "../core/pixel.h"

namespace relvane::fast {

// Counts of grid lines at half spacing h from 0 to max: the even ones 0, 2h,
// 4h, ... and the odd ones h, 3h, ...
inline int64_t even_lines(int64_t max, int64_t h) { return max / (2 * h) + 1; }
inline int64_t odd_lines(int64_t max, int64_t h) { return max >= h ? (max - h) / (2 * h) + 1 : 0; }

// In a row of width pixels: even[j] = z of p[2 h j] and odd[j] = z of
// p[h + 2 h j] for every such pixel of the row.
void load_grid_row(const rv_Pixel *p, int64_t width, int64_t h, int32_t *even, int32_t *odd);

// The reverse: writes those z values and leaves every other field and pixel
// as it was.
void store_grid_row(rv_Pixel *p, int64_t width, int64_t h, const int32_t *even, const int32_t *odd);

}  // namespace relvane::fast
