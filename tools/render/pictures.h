// The pictures relvane-render encodes: the screen's colours and the
// landscape's heights and colours.
#pragma once

#include <SDL.h>

#include "png_file.h"
#include "relvane.h"

// The screen as 8-bit RGB, channels taken by the format's byte shifts.
PngPicture ScreenPicture(const SDL_Surface *screen);
// The surface's z field, every pixel, as 16-bit grey.
PngPicture HeightPicture(const rv_Surface *surface);
// The surface's red, green and blue fields, every pixel, as 8-bit RGB.
PngPicture ColourPicture(const rv_Surface *surface);
