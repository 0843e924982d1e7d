// Prints the vector targets the fast paths are compiled for that this
// processor runs, best first, and the one the dispatch chooses.
#include <cstdio>

#if RELVANE_SIMD
#include <hwy/targets.h>

int main() {
    std::printf("Vector targets run here:");
    for (const int64_t t : hwy::SupportedAndGeneratedTargets()) std::printf(" %s", hwy::TargetName(t));
    const int64_t best = hwy::SupportedTargets() & HWY_TARGETS;
    std::printf(" (chosen: %s)\n", hwy::TargetName(best & -best));
    return 0;
}
#else
int main() {
    std::puts("Vector targets run here: none (fast paths left out)");
    return 0;
}
#endif
