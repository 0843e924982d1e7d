/* Fractal terrain by midpoint displacement. */
#ifndef RELVANE_RENDER_FRACTAL_H
#define RELVANE_RENDER_FRACTAL_H

#include <stdint.h>

#include "../core/surface.h"

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__)
#pragma GCC visibility push(default) /* exported however the engine is compiled */
#endif

/* Writes z of every grid point (colour, alpha and light stay): seeds every
 * step pixels around base, then refines level by level with the amplitude
 * multiplied by roughness (0..2 sensible). base and amplitude are whole
 * height units (x256); heights are held to 0..65535. Draws one value from the
 * context's random generator per written point: call rv_ResetRandom first
 * for a repeatable terrain. A step below 1 works as 1; steps that are not a
 * power of two leave some pixels unwritten.
 * Each level's scaled amplitude is held to 0..131080, the largest whose
 * range 2 x a the generator draws exactly (negative and NaN give 0). */
void rv_Fractal(rv_Surface *surface, int32_t step, float base, float amplitude, float roughness);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif
