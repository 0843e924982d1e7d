// Fast paths of the display functions. Each returns true when it has done
// the whole operation, false to leave it to the plain code.
#pragma once

#include "../core/fast_path.h"
#include "../core/surface.h"

struct SDL_Surface;

namespace relvane {

struct ScreenLayout;

namespace fast {

bool show_colour(const rv_Surface *surface, SDL_Surface *screen);
bool show_light(const rv_Surface *surface, SDL_Surface *screen);
// h: the screen rows drawn; sine, cosine: the view angle's, 16.16 fixed point.
bool show_tilted(rv_Surface *surface, SDL_Surface *screen, const ScreenLayout &layout, int32_t h,
                 int32_t sine, int32_t cosine);
bool show_profiles(const rv_Surface *surface, SDL_Surface *screen, int32_t rows);
bool show_height(const rv_Surface *surface, SDL_Surface *screen, int32_t scale);

}  // namespace fast

}  // namespace relvane
