// What every shape shares: the check that a pipe may draw into a surface,
// run limits that cannot overflow, and one row handed to the pipe.
#pragma once

#include <cstdint>

#include "../core/surface.h"
#include "../core/surface_rows.h"
#include "../pipe/pipe.h"

namespace relvane {

// A pipe works in its own context's spans; a surface of another context, or
// one wider than the spans (never normally), would let a run overrun them.
inline bool shape_can_draw(const rv_Pipe *pipe, const rv_Surface *surface) {
    return pipe->context == surface->context && surface->width <= surface->context->span_size;
}

// Left end clipped to 0..width and the run's length x1 - x0, held in 32 bits
// (x1 is already cut at width). A count of 0 or less writes nothing.
struct Run {
    int32_t x0;
    int32_t count;
};

inline Run clip_run(int32_t x0, int32_t x1, int32_t width) {
    if (x0 < 0) x0 = 0;
    if (x0 > width) x0 = width;  // keeps the row address inside the surface
    if (x1 > width) x1 = width;
    const int64_t n = int64_t{x1} - x0;
    return {x0, static_cast<int32_t>(n < INT32_MIN ? INT32_MIN : n)};
}

// Hands the first run.count records of the context's source span to the
// pipe as the run starting at (run.x0, y).
inline void run_row(rv_Pipe *pipe, const rv_Surface *surface, Run run, int32_t y) {
    rv_RunPipe(pipe, surface->context->source_span, surface_pixel(surface, run.x0, y), run.count);
}

}  // namespace relvane
