/* Lighting passes on the light field (256 = unity) from the heights: slope
 * shading and cast shadows. The light comes from the top-left corner along
 * the diagonal, elevation in degrees above the horizon (0..90). Only light
 * is written. */
#ifndef RELVANE_RENDER_SHADING_H
#define RELVANE_RENDER_SHADING_H

#include "../core/surface.h"

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__)
#pragma GCC visibility push(default) /* exported however the engine is compiled */
#endif

/* Scales light by how squarely each pixel's slope faces the light, by a
 * factor between ambient (1.0 = unity; 0.3 is a fair floor) and 1.5; the
 * last column and row keep their light. Elevations below 1 count as 1.
 * Lights saturate at 65535. A NaN elevation counts as a light overhead. */
void rv_ShadeSlopes(rv_Surface *surface, float elevation, float ambient);
/* Darkens the pixels lying below the shadow line of higher terrain.
 * Elevations of 90 and above (and NaN) cast no shadow. */
void rv_ShadeShadows(rv_Surface *surface, float elevation);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif
