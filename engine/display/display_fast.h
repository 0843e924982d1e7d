// The display functions' slots: the table's show_* entries
// (core/fast_table.h), kernels over bands of screen rows (the tilted view:
// of screen columns).
#pragma once

#include "../core/fast_path.h"
#include "../core/surface.h"
