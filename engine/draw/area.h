/* Rectangle fill and area effects, applied directly to a surface's pixels.
 * rect may be null (whole surface); otherwise it is clipped in place. */
#ifndef RELVANE_DRAW_AREA_H
#define RELVANE_DRAW_AREA_H

#include <stdint.h>

#include "../core/pixel.h"
#include "../core/surface.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Sets the fields selected by mask (RV_FIELD_*) of every pixel to value's. */
void rv_FillRect(uint32_t mask, rv_Surface *surface, rv_Rect *rect, const rv_Pixel *value);

/* Blends colour and light of every pixel at or below water->z towards the
 * water's, with weight water->alpha (out of 256) at the level, growing by one
 * per depth z units below it (depth <= 0: one z unit; any depth is safe, the
 * weight never exceeds 256). Alpha and z are not changed. */
void rv_ApplyWater(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water, int32_t depth);

/* Moves every height at or below level->z factor/256 of the way up to it.
 * Any factor is accepted: the step is computed in 64 bits and the new height
 * held to 0..65535 (above 256 it passes the level, below 0 it sinks). */
void rv_RaiseToLevel(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *level, int32_t factor);

#ifdef __cplusplus
}
#endif

#endif
