/* Fractal terrain by midpoint displacement. */
#ifndef RELVANE_RENDER_FRACTAL_H
#define RELVANE_RENDER_FRACTAL_H

#include <stdint.h>

#include "../core/surface.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Writes z of every grid point: seeds every step pixels around base, then
 * refines level by level with the amplitude scaled by roughness. base and
 * amplitude are whole height units (x256). Draws one value from the
 * context's random generator per written point. A step below 1 works as 1.
 * Each level's scaled amplitude is held to 0..131080, the largest whose
 * range 2 x a the generator draws exactly (negative and NaN give 0). */
void rv_Fractal(rv_Surface *surface, int32_t step, float base, float amplitude, float roughness);

#ifdef __cplusplus
}
#endif

#endif
