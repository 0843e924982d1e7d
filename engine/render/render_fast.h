// Fast paths of the terrain generator, the shading passes, the rectangle
// copy and the display functions. Each returns true when it has done the
// whole operation, false to leave it to the plain code.
#pragma once

#include "../core/fast_path.h"
#include "../core/pixel.h"
#include "../core/surface.h"

struct SDL_Surface;

namespace relvane {

struct ScreenLayout;

namespace fast {

// Copies rows pixels high, n wide, between rows pitch pixels apart; backwards:
// last row first and each row from its end (dst overlaps src after it).
bool copy_block(uint32_t mask, const rv_Pixel *src, int32_t src_pitch, rv_Pixel *dst,
                int32_t dst_pitch, int32_t n, int32_t rows, bool backwards);
// rise: the facing slope's rise per diagonal step; floor: the smallest factor.
bool shade_slopes(rv_Surface *surface, int64_t rise, int64_t floor);
// fall: how far the shadow line drops per diagonal step.
bool shade_shadows(rv_Surface *surface, int64_t fall);
bool fractal(rv_Surface *surface, int32_t step, float base, float amplitude, float roughness);
bool show_colour(const rv_Surface *surface, SDL_Surface *screen);
bool show_light(const rv_Surface *surface, SDL_Surface *screen);
// h: the screen rows drawn; sine, cosine: the view angle's, 16.16 fixed point.
bool show_tilted(rv_Surface *surface, SDL_Surface *screen, const ScreenLayout &layout, int32_t h,
                 int32_t sine, int32_t cosine);
bool show_profiles(const rv_Surface *surface, SDL_Surface *screen, int32_t rows);
bool show_height(const rv_Surface *surface, SDL_Surface *screen, int32_t scale);

}  // namespace fast

}  // namespace relvane
