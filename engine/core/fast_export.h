// For the HWY_ONCE part of a per-target file: RELVANE_FAST_EXPORT(name)
// exports an entry's kernels and defines its picker, which the table's
// filling calls for the kernel of the target in force.
#pragma once

#include <hwy/highway.h>

#include "fast_table.h"

namespace relvane::fast {

// A build of one target has a table of one.
template <class F, size_t N>
F pick_kernel(F const (&kernels)[N]) {
    if constexpr (N == 1) {
        return kernels[0];
    } else {
        return kernels[hwy::GetChosenTarget().GetIndex()];
    }
}

}  // namespace relvane::fast

#define RELVANE_FAST_EXPORT(name) \
    HWY_EXPORT(name);             \
    RELVANE_FAST_POINTER(name) pick_##name() { return pick_kernel(HWY_DISPATCH_TABLE(name)); }
