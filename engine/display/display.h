/* Display functions: convert a surface into an SDL screen surface (SDL 1.2;
 * any 24- or 32-bit format whose channel shifts are whole bytes, e.g. an
 * in-memory SDL_CreateRGBSurface). Each locks the screen once, writes the
 * three colour bytes of every pixel that both screen and surface cover, and
 * unlocks it; other screen formats are left as they were. The caller keeps
 * ownership of the screen and flips or saves it afterwards. */
#ifndef RELVANE_RENDER_DISPLAY_H
#define RELVANE_RENDER_DISPLAY_H

#include <stdint.h>

#include "../core/surface.h"

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__)
#pragma GCC visibility push(default) /* exported however the engine is compiled */
#endif

struct SDL_Surface;

/* Colour scaled by light (256 = unity), each channel held at 255. */
void rv_ShowColour(const rv_Surface *surface, struct SDL_Surface *screen);
/* Height profile of every n-th surface row, each in a band of n screen rows
 * (rows: 1..32768, clamped): green below the line, blue middle, red foot. */
void rv_ShowProfiles(const rv_Surface *surface, struct SDL_Surface *screen, int32_t rows);
/* Height as a black-blue-green-yellow-white ramp; scale 64 maps z 0..65535
 * onto the whole ramp, larger scales stretch low heights (beyond: magenta). */
void rv_ShowHeight(const rv_Surface *surface, struct SDL_Surface *screen, int32_t scale);
/* Light as a ramp: black to green up to 255, green to yellow up to 511,
 * white from 512 (256 = unity shows pure green). */
void rv_ShowLight(const rv_Surface *surface, struct SDL_Surface *screen);
/* Landscape seen from the front at angle degrees (held to 0..90; 90 =
 * straight down), with a sky; the nearest row forms a black front face.
 * Changes the surface: light of the nearest row and the top buffer in its
 * last row, so give it a surface one row taller than the screen. */
void rv_ShowTilted(rv_Surface *surface, struct SDL_Surface *screen, float angle);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif
