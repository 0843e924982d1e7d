// The slots of the shapes and the rectangle operations: fill, raise, copy and
// the round shapes are entries of the table (core/fast_table.h).
#pragma once

#include "../core/fast_path.h"
#include "../core/pixel.h"
#include "../core/surface.h"
