/* Relvane: a software renderer for 2.5-D height fields. */
#ifndef RELVANE_H
#define RELVANE_H

#include "core/pixel.h"
#include "core/context.h"
#include "core/surface.h"
#include "pipe/pipe.h"
#include "draw/shapes.h"
#include "draw/area.h"
#include "draw/copy.h"
#include "display/display.h"
#include "terrain/fractal.h"
#include "shade/shading.h"
#include "shade/view_build.h"

#endif
