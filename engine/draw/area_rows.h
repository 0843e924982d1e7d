// The frame shared by the rectangle operations: clip, then one call per row.
#pragma once

#include <cstdint>

#include "../core/surface.h"
#include "../core/surface_rows.h"
#include "../core/threads.h"

namespace relvane {

// Clips rect (null: the whole surface) with rv_ClipRect and calls
// row(first pixel, count) for every row of what is left, top to bottom.
template <typename RowOp>
inline void for_each_area_row(rv_Surface *surface, rv_Rect *rect, RowOp row) {
    const rv_Rect r = rv_ClipRect(surface, rect);
    if (r.w <= 0 || r.h <= 0) return;
    for (int32_t y = r.y; y < r.y + r.h; ++y) row(surface_pixel(surface, r.x, y), r.w);
}

// Clips rect once (as rv_ClipRect, written back) and runs band(part) over
// bands of its rows, on the context's threads; each band is a rectangle of
// whole rows, so a pass that treats rows alone gives the same bytes however
// the rows were cut.
template <typename BandOp>
inline void for_each_area_band(rv_Surface *surface, rv_Rect *rect, BandOp band) {
    const rv_Rect r = rv_ClipRect(surface, rect);
    if (r.w <= 0 || r.h <= 0) return;
    parallel_rows(surface->context, r.h, r.w, [&](int64_t first, int64_t last) {
        rv_Rect part{r.x, r.y + static_cast<int32_t>(first), r.w, static_cast<int32_t>(last - first)};
        band(&part);
    });
}

}  // namespace relvane
