/* Surfaces: grids of rv_Pixel, owning their pixels or windows into a parent. */
#ifndef RELVANE_CORE_SURFACE_H
#define RELVANE_CORE_SURFACE_H

#include <stdint.h>

#include "context.h"
#include "pixel.h"

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__)
#pragma GCC visibility push(default) /* exported however the engine is compiled */
#endif

/* The surface owns its pixel array and frees it with itself. */
#define RV_SURFACE_OWNS_PIXELS 0x1u

/* Pixel (x, y) is pixels[y * pitch + x]; row 0 is the top of the picture.
 * Reference-counted (the creator holds the first reference); holds one
 * reference on its context, and a sub-surface one more on its parent. */
typedef struct rv_Surface {
    rv_Context *context;       /* context it was created with (one reference held) */
    struct rv_Surface *parent; /* null, or the surface this one is a window into */
    rv_Pixel *pixels;          /* pixel at column 0, row 0 */
    int32_t refcount;          /* number of holders */
    int32_t width;             /* columns */
    int32_t height;            /* rows */
    int32_t pitch;             /* pixels from one row to the next */
    uint32_t flags;            /* RV_SURFACE_OWNS_PIXELS or 0 */
} rv_Surface;

/* New zeroed surface owning width x height pixels, pitch = width; the caller
 * frees it with rv_FreeSurface. Reserves the context's spans for its width,
 * so create a context's surfaces before its pipes. Null for a negative size,
 * a size whose byte count does not fit memory, or when memory runs out (no
 * reference is then kept). A 0-wide or 0-high surface is valid and every
 * operation on it changes nothing. */
rv_Surface *rv_NewSurface(rv_Context *context, int32_t width, int32_t height);

/* New surface that is a window into rect of parent (no copy; parent's pitch),
 * freed with rv_FreeSurface; it keeps the parent alive. Null when rect is
 * null, not wholly inside the parent (negative size included), or memory runs
 * out. */
rv_Surface *rv_NewSubSurface(rv_Surface *parent, const rv_Rect *rect);

/* Releases one reference; the last release frees the pixels (or releases the
 * parent) and releases the context. */
void rv_FreeSurface(rv_Surface *surface);

/* The clip rule of all rectangle operations; returns the rectangle to
 * process. A null rect means the whole surface (nothing written back).
 * Otherwise rect is clipped to the surface in place: x and y raised to 0,
 * right and bottom cut at the surface's edges, w written back, and h written
 * back unless w came out 0. Nothing is to be processed when the returned w or
 * h is zero or negative. */
rv_Rect rv_ClipRect(const rv_Surface *surface, rv_Rect *rect);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif
