// The view passes (light reset, slopes, shadows, water and haze) over one
// run of a row: the plain kernels, one per pass, are the readable reference;
// the vector kernel (the fast table's view_run, core/fast_table.h) is their
// exact rewrite doing every pass a run asks for with each pixel loaded,
// split and stored once.
#pragma once

#include <cstdint>

#include "../core/fast_path.h"
#include "../core/pixel.h"
#include "../draw/water_blend.h"
#include "view_sweep.h"

namespace relvane {

// The plain kernels of the passes.
struct ViewRows {
    // Scales the light of out[0, n) by the slope factor from the heights of
    // zrow[0, n] and zbelow[0, n] (the row and the one below, one pixel more
    // than out). rise: the facing slope's rise per diagonal step; floor: the
    // smallest factor, held to -1 or more.
    void (*slopes)(rv_Pixel *out, const rv_Pixel *zrow, const rv_Pixel *zbelow, int32_t n, int32_t rise,
                   int32_t floor);
    // Darkens row[0, n) below the shadow lines lines[0, n), one per pixel's
    // diagonal, each carried over from the pixel above-left and left for the
    // one below-right. fall: -65535..0 per step.
    void (*shadows)(rv_Pixel *row, int32_t *lines, int32_t n, int32_t fall);
    // Blends row[0, n) towards the water.
    void (*water)(rv_Pixel *row, int32_t n, const Water &water);
    // Sets every light of row[0, n).
    void (*relight)(rv_Pixel *row, int32_t n, uint16_t light);
};

extern const ViewRows plain_view_rows;

// One run through every pass the sweep asks for, in the public calls'
// order: out[0, n) becomes from[0, n) (the same pixels when working in
// place) put through the light reset, the slopes (on out[0, lit) only, from
// the heights of from[0, lit] and below[0, lit]), the shadows (lines[0, n)),
// the water and the haze.
using ViewRun = void (*)(rv_Pixel *out, const rv_Pixel *from, const rv_Pixel *below, int32_t *lines, int32_t n,
                         int32_t lit, const ViewSweep &s);

// The vector slope step is exact for these parameters.
inline bool vector_slopes_fit(int64_t rise, int64_t floor) {
    return rise > -(1 << 23) && rise < (1 << 23) && floor <= 384;
}

// The run kernel in force (the table's view_run slot; its plain kernel runs
// the plain passes one after the other).
inline ViewRun view_run() { return fast::table().view_run; }

}  // namespace relvane
