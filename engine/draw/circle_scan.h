// The row scan shared by the round shapes: row range, run limits and the
// pipe calls. A shape only supplies its height profile.
#pragma once

#include <cmath>
#include <cstdint>

#include "round_profile.h"
#include "shape_bands.h"
#include "shape_rows.h"
#include "../core/float_convert.h"

namespace relvane {

// The rows of the circle of radius r about (cx, cy), clipped to the surface:
// fill_row(span, run, dy2) fills run.count records (count > 0) of the source
// span for the run (its row lies dy2 = dy * dy from the centre), then the
// pipe takes the row.
template <typename FillRow>
void circle_rows(rv_Pipe *pipe, rv_Surface *surface, float cx, float cy, float r,
                 const FillRow &fill_row) {
    if (!shape_can_draw(pipe, surface)) return;
    int32_t y0 = trunc_to_i32(cy - r), y1 = trunc_to_i32(cy + r);
    if (y0 < 0) y0 = 0;
    if (y1 > surface->height) y1 = surface->height;
    if (y0 >= y1) return;

    const float r2 = r * r;
    const int32_t widest = static_cast<int32_t>(std::min<float>(2.0f * r + 2.0f, static_cast<float>(surface->width)));
    shape_rows(pipe, surface, y0, y1, widest, [&](int32_t y, rv_Pixel *span) {
        const float dy = static_cast<float>(y) - cy;
        const float dy2 = dy * dy;
        Run run{0, 0};
        if (!(r2 - dy2 < 0.0f)) {
            const float w = std::sqrt(r2 - dy2);
            run = clip_run(trunc_to_i32(cx - w), trunc_to_i32(w + cx), surface->width);
            if (run.count > 0) fill_row(span, run, dy2);
        }
        return run;
    });
}

// Profile: uint16_t operator()(float d) giving the clamped height at
// distance d from the centre; uses_distance false skips computing d.
template <typename Profile>
void circle_scan(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel &material, float cx, float cy,
                 float r, const Profile &profile) {
    circle_rows(pipe, surface, cx, cy, r, [&](rv_Pixel *span, Run run, float dy2) {
        for (int32_t i = 0; i < run.count; ++i) {
            float d = 0.0f;
            if constexpr (Profile::uses_distance) {
                d = plain::centre_distance(static_cast<float>(run.x0 + i) - cx, dy2);
            }
            span[i].red = material.red;
            span[i].green = material.green;
            span[i].blue = material.blue;
            span[i].z = profile(d);
        }
    });
}

}  // namespace relvane
