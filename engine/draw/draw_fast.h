// Fast paths of the shapes and the rectangle operations: fill, raise, copy,
// water and the round shapes are entries of the table (core/fast_table.h).
// Each returns true when it has done the whole operation, false to leave it
// to the plain code.
#pragma once

#include "../core/fast_path.h"
#include "../core/pixel.h"
#include "../core/surface.h"
