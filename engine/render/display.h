/* Display functions: convert a surface into an SDL screen surface.
 * Each locks the screen once, writes the three colour bytes of every shown
 * pixel, and unlocks it. */
#ifndef RELVANE_RENDER_DISPLAY_H
#define RELVANE_RENDER_DISPLAY_H

#include <stdint.h>

#include "../core/surface.h"

#ifdef __cplusplus
extern "C" {
#endif

struct SDL_Surface;

/* Colour scaled by light (256 = unity), saturating at 255. */
void rv_ShowColour(const rv_Surface *surface, struct SDL_Surface *screen);
/* Height profile of every n-th row, one band of n rows each (n: 1..32768). */
void rv_ShowProfiles(const rv_Surface *surface, struct SDL_Surface *screen, int32_t rows);
/* Height as a black-blue-green-yellow-white ramp; scale 64 maps 0..65535. */
void rv_ShowHeight(const rv_Surface *surface, struct SDL_Surface *screen, int32_t scale);
/* Light as a green-yellow-white ramp. */
void rv_ShowLight(const rv_Surface *surface, struct SDL_Surface *screen);
/* Landscape seen from the front at angle degrees (90 = straight down), with a
 * sky. Changes the surface: light of the nearest row and the top buffer in
 * its last row. */
void rv_ShowTilted(rv_Surface *surface, struct SDL_Surface *screen, float angle);

#ifdef __cplusplus
}
#endif

#endif
