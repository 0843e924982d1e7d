// The switch of the fast-path layer.
#include "fast_path.h"

namespace relvane {

namespace {
bool enabled = true;
bool wide = true;
}

bool fast_paths_enabled() { return enabled; }
void set_fast_paths_enabled(bool on) { enabled = on; }
bool wide_vectors_enabled() { return wide; }
void set_wide_vectors_enabled(bool on) { wide = on; }

}  // namespace relvane
