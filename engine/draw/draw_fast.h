// Fast paths of the shapes and the rectangle operations: fill, raise and the
// round shapes are entries of the table (core/fast_table.h); copy and water
// are still called here. Each returns true when it has done the whole
// operation, false to leave it to the plain code.
#pragma once

#include "../core/fast_path.h"
#include "../core/pixel.h"
#include "../core/surface.h"

struct rv_Pipe;

namespace relvane::fast {

// Copies rows pixels high, n wide, between rows pitch pixels apart; backwards:
// last row first and each row from its end (dst overlaps src after it).
bool copy_block(uint32_t mask, const rv_Pixel *src, int32_t src_pitch, rv_Pixel *dst,
                int32_t dst_pitch, int32_t n, int32_t rows, bool backwards);
bool apply_water(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water, int32_t depth);

}  // namespace relvane::fast
