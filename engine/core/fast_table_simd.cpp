// The table of fast kernels, filled from every entry's picker for the best
// vector target this processor runs.

#include "fast_export.h"

namespace relvane::fast {

#define RELVANE_FAST_PICKER(name) RELVANE_FAST_POINTER(name) pick_##name();
RELVANE_FAST_ENTRIES(RELVANE_FAST_PICKER)
#undef RELVANE_FAST_PICKER

Table best_table() {
#if (HWY_TARGETS & (HWY_TARGETS - 1)) != 0
    // What a test forces counts too: SupportedTargets() honours it.
    hwy::GetChosenTarget().Update(hwy::SupportedTargets());
#endif
    Table t;
#define RELVANE_FAST_FILL(name) t.name = pick_##name();
    RELVANE_FAST_ENTRIES(RELVANE_FAST_FILL)
#undef RELVANE_FAST_FILL
    return t;
}

}  // namespace relvane::fast
