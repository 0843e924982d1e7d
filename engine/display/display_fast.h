// Fast paths of the display functions: the table's show_* entries
// (core/fast_table.h). Each returns true when it has done the whole
// operation, false to leave it to the plain code.
#pragma once

#include "../core/fast_path.h"
#include "../core/surface.h"
