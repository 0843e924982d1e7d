/* Lighting passes on the light field: slope shading and cast shadows.
 * The light comes from the top-left corner along the diagonal. */
#ifndef RELVANE_RENDER_SHADING_H
#define RELVANE_RENDER_SHADING_H

#include "../core/surface.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Scales light by how squarely each pixel's slope faces the light, between
 * ambient and 1.5; the last column and row keep their light. */
void rv_ShadeSlopes(rv_Surface *surface, float elevation, float ambient);
/* Darkens the pixels lying below the shadow line of higher terrain. */
void rv_ShadeShadows(rv_Surface *surface, float elevation);

#ifdef __cplusplus
}
#endif

#endif
