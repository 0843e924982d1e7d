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
#if defined(__GNUC__)
#pragma GCC visibility push(default) /* exported however the engine is compiled */
#endif

/* Sets the fields selected by mask (RV_FIELD_*) of every pixel to value's;
 * the other fields stay. A mask of 0 changes nothing. */
void rv_FillRect(uint32_t mask, rv_Surface *surface, rv_Rect *rect, const rv_Pixel *value);

/* Blends colour and light of every pixel at or below water->z (the level,
 * 1/256 units) towards water's red, green, blue and light, with weight
 * water->alpha (out of 256) at the level, growing by one per depth z units
 * below it up to 256 (depth <= 0: one z unit; any depth is safe). Alpha and
 * z stay. */
void rv_ApplyWater(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water, int32_t depth);

/* Moves every height at or below level->z factor/256 of the way up to it
 * (256: onto the level, 0: not at all; only level's z is read). Factors
 * outside 0..256 overshoot or move away: the step is computed in 64 bits and
 * the new height held to 0..65535. */
void rv_RaiseToLevel(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *level, int32_t factor);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif
