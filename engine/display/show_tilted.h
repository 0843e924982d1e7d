// What the tilted view's plain kernel and its vector kernel share: the sky,
// the edge blend and the front face.
#pragma once

#include <cstdint>

#include "../core/lanes.h"
#include "screen_frame.h"

namespace relvane {

namespace plain {
using namespace lanes;
#include "tilted_mix-inl.h"
}  // namespace plain

inline constexpr Rgb tilted_sky{64, 64, 96};

// The surface row of the nearest slice: h - 2 when the surface is as tall as
// the screen (its last row holds the top buffer), else h - 1; below 0: none.
inline int32_t tilted_nearest(const rv_Surface *surface, int32_t h) {
    return surface->height == h ? h - 2 : h - 1;
}

// The nearest slice is the black front face: its first w pixels get light 0.
void tilted_front(rv_Surface *surface, int32_t h, int32_t w);

}  // namespace relvane
