// The switch of the fast-path layer.
#include "fast_path.h"

namespace relvane {

namespace {
bool enabled = true;
}

bool fast_paths_enabled() { return enabled; }
void set_fast_paths_enabled(bool on) { enabled = on; }

}  // namespace relvane
