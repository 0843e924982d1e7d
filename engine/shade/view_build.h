/* The view build in one sweep: the copy of a landscape (or a reset of the
 * light), slope shading, cast shadows, water and haze, each optional, with
 * the same bytes as the separate calls in that order, in row runs that stay
 * in cache, on the context's threads. */
#ifndef RELVANE_SHADE_VIEW_BUILD_H
#define RELVANE_SHADE_VIEW_BUILD_H

#include <stdint.h>

#include "../core/pixel.h"
#include "../core/surface.h"

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__)
#pragma GCC visibility push(default) /* exported however the engine is compiled */
#endif

/* What rv_BuildView does, step by step; a zeroed record does nothing. */
typedef struct rv_ViewBuild {
    const rv_Surface *scene; /* non-null: rv_CopyRect(RV_FIELD_ALL, scene, NULL, view, 0, 0) */
    int32_t relight;         /* non-zero: every light := light (rv_FillRect(RV_FIELD_LIGHT, ...)) */
    uint16_t light;
    int32_t slopes; /* non-zero: rv_ShadeSlopes(view, slope_elevation, ambient) */
    float slope_elevation;
    float ambient;
    int32_t shadows; /* non-zero: rv_ShadeShadows(view, shadow_elevation) */
    float shadow_elevation;
    int32_t water; /* non-zero: rv_ApplyWater(view, NULL, &water_pixel, water_depth) */
    rv_Pixel water_pixel;
    int32_t water_depth;
    int32_t haze; /* non-zero: rv_ApplyWater(view, NULL, &haze_pixel, haze_depth) */
    rv_Pixel haze_pixel;
    int32_t haze_depth;
} rv_ViewBuild;

/* Runs the steps of build on the whole of view in the order the record
 * lists them, exactly as the calls named there would. A scene of another
 * size than the view, or sharing its memory, is copied as rv_CopyRect
 * copies it. */
void rv_BuildView(rv_Surface *view, const rv_ViewBuild *build);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif
