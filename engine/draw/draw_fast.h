// Fast paths of the shapes and the rectangle operations (fill, copy, water,
// raise). Each returns true
// when it has done the whole operation, false to leave it to the plain code.
#pragma once

#include "../core/fast_path.h"
#include "../core/pixel.h"
#include "../core/surface.h"

struct rv_Pipe;

namespace relvane::fast {

// Copies rows pixels high, n wide, between rows pitch pixels apart; backwards:
// last row first and each row from its end (dst overlaps src after it).
bool copy_block(uint32_t mask, const rv_Pixel *src, int32_t src_pitch, rv_Pixel *dst,
                int32_t dst_pitch, int32_t n, int32_t rows, bool backwards);
bool fill_rect(uint32_t mask, rv_Surface *surface, rv_Rect *rect, const rv_Pixel *value);
bool apply_water(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water, int32_t depth);
bool raise_to_level(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *level, int32_t factor);
bool draw_disc(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
               float r);
bool draw_cone(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
               float r, float h);
bool draw_dome(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
               float r, float h);
bool draw_paraboloid(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx,
                     float cy, float r, float h);

}  // namespace relvane::fast
