/* Rectangle copy between surfaces. */
#ifndef RELVANE_RENDER_COPY_H
#define RELVANE_RENDER_COPY_H

#include <stdint.h>

#include "../core/pixel.h"
#include "../core/surface.h"

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__)
#pragma GCC visibility push(default) /* exported however the engine is compiled */
#endif

/* Copies the fields selected by mask (RV_FIELD_*; RV_FIELD_ALL: whole pixels)
 * of rect of src (null: all of it, else clipped to src in place) to dst with
 * its top-left pixel at (x, y); unselected fields of dst stay. Only the part
 * that lands inside dst is written; rect keeps the clip to src only.
 * Overlapping windows of one surface copy as if through a temporary. */
void rv_CopyRect(uint32_t mask, const rv_Surface *src, rv_Rect *rect, rv_Surface *dst,
                 int32_t x, int32_t y);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif
