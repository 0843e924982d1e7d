/* Shape primitives: cut into rows and written through a pipe. */
#ifndef RELVANE_DRAW_SHAPES_H
#define RELVANE_DRAW_SHAPES_H

#include "../core/pixel.h"
#include "../core/surface.h"
#include "../pipe/pipe.h"

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__)
#pragma GCC visibility push(default) /* exported however the engine is compiled */
#endif

/* Each shape writes one run per surface row through the pipe, which decides
 * how its height and colour combine with what is there (rv_NewPipe's default:
 * draw where the shape is at or above the terrain). Use the pipe's own alpha
 * and light (RV_PIPE_*_CONST or _DST): shapes leave the source alpha and light
 * unset. Material: red, green, blue are the colour; z is the base height
 * (1/256 units). Alpha and light of the material are not read. Coordinates are
 * surface pixels; heights are clamped to 0..65535. Any float is accepted:
 * runs never leave the surface, a NaN position or size draws nothing and a
 * NaN height gives 0. A pipe of another context than the surface's draws
 * nothing. */

/* Flat box from (x, y), w wide and h high, at the material's height. */
void rv_DrawBox(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material,
                float x, float y, float w, float h);
/* Flat disc of radius r about (cx, cy). */
void rv_DrawDisc(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material,
                 float cx, float cy, float r);
/* Cone of base radius r rising h z units above the base height. */
void rv_DrawCone(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material,
                 float cx, float cy, float r, float h);
/* Half ellipsoid of radius r and height h pixels (256 z units each). */
void rv_DrawDome(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material,
                 float cx, float cy, float r, float h);
/* Paraboloid of base radius r and height h pixels (256 z units each). */
void rv_DrawParaboloid(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material,
                       float cx, float cy, float r, float h);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif
