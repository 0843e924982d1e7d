// Row addressing of surfaces, with the offset formed in pointer width.
#pragma once

#include <cstddef>

#include "surface.h"

namespace relvane {

inline rv_Pixel *surface_row(const rv_Surface *s, int32_t y) {
    return s->pixels + static_cast<ptrdiff_t>(y) * s->pitch;
}

inline rv_Pixel *surface_pixel(const rv_Surface *s, int32_t x, int32_t y) {
    return surface_row(s, y) + x;
}

}  // namespace relvane
