// What the tilted view's plain code and its fast path share: the sky, the
// edge blend, the front face, and the plain drawing of a run of columns
// (the fast path's width tail).
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

// Draws columns x_begin..x_end-1 whole (every slice, then the sky) on screen
// rows 0..h-1 and leaves their final tops in the top buffer; sine and cosine
// are the view angle's in 16.16 fixed point. Call after tilted_front.
void tilted_columns(rv_Surface *surface, SDL_Surface *screen, const ScreenLayout &l, int32_t h,
                    int32_t sine, int32_t cosine, int32_t x_begin, int32_t x_end);

}  // namespace relvane
