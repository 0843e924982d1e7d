// Fast path of the terrain generator: the table's fractal entry
// (core/fast_table.h), which returns true when it has done the whole
// operation, false to leave it to the plain code.
#pragma once

#include "../core/fast_path.h"
#include "../core/surface.h"
