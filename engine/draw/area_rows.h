// The frame shared by the rectangle operations: clip, then one call per row.
#pragma once

#include <cstdint>

#include "../core/surface.h"
#include "../core/surface_rows.h"

namespace relvane {

// Clips rect (null: the whole surface) with rv_ClipRect and calls
// row(first pixel, count) for every row of what is left, top to bottom.
template <typename RowOp>
inline void for_each_area_row(rv_Surface *surface, rv_Rect *rect, RowOp row) {
    const rv_Rect r = rv_ClipRect(surface, rect);
    if (r.w <= 0 || r.h <= 0) return;
    for (int32_t y = r.y; y < r.y + r.h; ++y) row(surface_pixel(surface, r.x, y), r.w);
}

}  // namespace relvane
