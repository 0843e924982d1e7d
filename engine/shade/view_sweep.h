// One sweep that runs the view passes pixel by pixel in the order the
// public calls run them (copy or light reset, slopes, shadows, water, haze),
// cut among worker threads by diagonals: each worker owns a band of whole
// diagonals, so every shadow line stays with one worker, and walks it row by
// row, each run of a row going through every pass while it is in cache.
#pragma once

#include <cstdint>

#include "../core/surface.h"
#include "../draw/water_blend.h"

namespace relvane {

struct ViewSweep {
    rv_Surface *view = nullptr;
    // Copied whole into the view first: same size, no shared memory.
    const rv_Surface *source = nullptr;
    bool relight = false;
    uint16_t light = 0;
    bool slopes = false;
    int32_t rise = 0, floor = 0;
    // fall: -65535..0.
    bool shadows = false;
    int32_t fall = 0;
    bool water = false, haze = false;
    Water water_values{}, haze_values{};
};

// Runs the sweep with the view's context's threads. False (nothing done)
// when the shadow lines' memory cannot be had.
bool sweep_view(const ViewSweep &sweep);

}  // namespace relvane
