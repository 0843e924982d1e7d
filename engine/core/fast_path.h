// The switch of the fast-path layer and what every layer's fast paths share.
// The fast paths are bit-exact rewrites of the hot loops over portable
// vectors, built only when RELVANE_SIMD is on. Their entries are listed once,
// in fast_table.h, and run from the one table chosen there; a public function
// calls its entry first and runs its own plain code when the entry declines.
#pragma once

#include <cstdint>

#include "fast_table.h"

namespace relvane {

#if RELVANE_SIMD
// On by default; tests switch it off to reach the plain code. Switching
// empties or refills the table, so it must not race a running operation.
inline bool fast_paths_on = true;
inline bool fast_paths_enabled() { return fast_paths_on; }
inline void set_fast_paths_enabled(bool on) {
    fast_paths_on = on;
    (void)fast::table();  // the first choice is made before it is overwritten
    fast::chosen_table = on ? fast::best_table() : fast::Table{};
}
// Refills the table for the vector target in force (a test forcing one).
inline void choose_fast_paths() {
    if (fast_paths_on) set_fast_paths_enabled(true);
}

// The passes not yet in the table ask the switch on every call.
#define RELVANE_TRY_FAST(call)                                      \
    do {                                                            \
        if (::relvane::fast_paths_on && (call)) return;             \
    } while (0)
#else
inline void choose_fast_paths() {}
#define RELVANE_TRY_FAST(call) \
    do {                       \
    } while (0)
#endif

// A 32-bit word of pixel memory; pixels are read and written as words.
typedef uint32_t __attribute__((may_alias)) PixelWord;

// A whole pixel as one 64-bit word (pixel memory must be 8-byte aligned).
typedef uint64_t __attribute__((may_alias)) PixelBits;

inline bool pixel_aligned(const void *p) { return reinterpret_cast<uintptr_t>(p) % 8 == 0; }

}  // namespace relvane
