// The view passes (slopes, shadows, water, light reset) as kernels over one
// run of a row: the plain ones are the readable reference, the vector ones
// (entries of the fast table, core/fast_table.h) their exact rewrites. The
// view sweep takes one set of them per call.
#pragma once

#include <cstdint>

#include "../core/fast_path.h"
#include "../core/pixel.h"
#include "../draw/water_blend.h"

namespace relvane {

struct ViewRows {
    // Scales the light of out[0, n) by the slope factor from the heights of
    // zrow[0, n] and zbelow[0, n] (the row and the one below, one pixel more
    // than out). rise: the facing slope's rise per diagonal step; floor: the
    // smallest factor, held to -1 or more.
    void (*slopes)(rv_Pixel *out, const rv_Pixel *zrow, const rv_Pixel *zbelow, int32_t n,
                   int32_t rise, int32_t floor);
    // Darkens row[0, n) below the shadow lines lines[0, n), one per pixel's
    // diagonal, each carried over from the pixel above-left and left for the
    // one below-right. fall: -65535..0 per step.
    void (*shadows)(rv_Pixel *row, int32_t *lines, int32_t n, int32_t fall);
    // Blends row[0, n) towards the water.
    void (*water)(rv_Pixel *row, int32_t n, const Water &water);
    // Blends row[0, n) towards one water, then towards another.
    void (*waters)(rv_Pixel *row, int32_t n, const Water &one, const Water &two);
    // Sets every light of row[0, n).
    void (*relight)(rv_Pixel *row, int32_t n, uint16_t light);
};

// The vector slope kernel is exact for these parameters.
inline bool vector_slopes_fit(int64_t rise, int64_t floor) {
    return rise > -(1 << 23) && rise < (1 << 23) && floor <= 384;
}

extern const ViewRows plain_view_rows;

// The kernels in force (the table's, or the plain ones without it), the
// slope kernel for these slope parameters.
inline ViewRows view_rows(int64_t rise = 0, int64_t floor = 0) {
    const fast::Table &t = fast::table();
    if (!t.view_slopes) return plain_view_rows;
    return {vector_slopes_fit(rise, floor) ? t.view_slopes : plain_view_rows.slopes, t.view_shadows, t.view_water,
            t.view_waters, t.view_relight};
}

}  // namespace relvane
