// The test program's default landscape at a given surface size: start
// settings with the light at 45 degrees and the water level at 100. The
// builds follow the test program's landscape and view builds call for call.
#pragma once

#include <SDL.h>

#include <vector>

#include "relvane.h"

namespace bench {

class Landscape {
public:
    Landscape(int32_t width, int32_t height);
    ~Landscape();
    Landscape(const Landscape &) = delete;
    Landscape &operator=(const Landscape &) = delete;

    // Fill, terrain, the thirty shapes (optional) and the flooding.
    void build_landscape(rv_Surface *target, bool with_shapes = true);
    // The thirty shapes alone, continuing the random sequence.
    void draw_shapes(rv_Surface *target);
    // Copy (or relight, when animated), slopes, shadows, water and haze.
    void build_view(bool animated);
    // Puts the built view back (for cases that change it).
    void restore_view();

    rv_Context *context = nullptr;
    rv_Surface *scene = nullptr, *view = nullptr;
    rv_Pipe *pipe = nullptr;
    SDL_Surface *screen = nullptr;
    std::vector<rv_Pixel> built_view;
};

}  // namespace bench
