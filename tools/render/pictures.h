// The two pictures relvane-render encodes: the screen's colours and the
// landscape's heights.
#pragma once

#include <SDL.h>

#include "png_file.h"
#include "relvane.h"

// The screen as 8-bit RGB, channels taken by the format's byte shifts.
rv_PngPicture rv_ScreenPicture(const SDL_Surface *screen);
// The surface's z field, every pixel, as 16-bit grey.
rv_PngPicture rv_HeightPicture(const rv_Surface *surface);
