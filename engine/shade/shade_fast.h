// Fast paths of the shading passes: entries of the table (core/fast_table.h),
// the row-run kernels the view sweep runs and the whole-surface passes the
// per-target tests reach them through (shade_slopes: rise per diagonal step
// and the smallest factor; shade_shadows: the line's fall per step). Each
// whole-surface entry returns true when it has done the whole operation,
// false to leave it to the plain code.
#pragma once

#include "../core/fast_path.h"
#include "../core/surface.h"
