// The fractal fast path's compact rows: z values of a pixel row copied into
// integer arrays and back, the even and the odd grid columns apart.
#pragma once

#include <cstdint>

#include "../core/pixel.h"

namespace relvane::fast {

// even[j] = z of p[2 h j] for j < n_even, odd[j] = z of p[h + 2 h j] for j < n_odd.
void load_grid_row(const rv_Pixel *p, int64_t h, int32_t *even, int64_t n_even, int32_t *odd, int64_t n_odd);

// The reverse: writes those z values and leaves every other field and pixel as it was.
void store_grid_row(rv_Pixel *p, int64_t h, const int32_t *even, int64_t n_even, const int32_t *odd, int64_t n_odd);

}  // namespace relvane::fast
