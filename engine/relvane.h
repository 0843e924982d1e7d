/* Relvane: a software renderer for 2.5-D height fields. */
#ifndef RELVANE_H
#define RELVANE_H

#include "core/pixel.h"
#include "core/context.h"
#include "core/surface.h"
#include "pipe/pipe.h"
#include "draw/shapes.h"
#include "draw/area.h"
#include "render/copy.h"
#include "render/display.h"
#include "render/fractal.h"
#include "render/shading.h"

#endif
