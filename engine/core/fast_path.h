// The switch of the fast-path layer and what every layer's fast paths share.
// The fast paths are bit-exact rewrites of the plain kernels over portable
// vectors, built only when RELVANE_SIMD is on. Every kernel is an entry of
// the one table (fast_table.h); an operation calls its slot, which holds the
// plain kernel or the vector target's.
#pragma once

#include <cstdint>

#include "fast_table.h"

namespace relvane {

#if RELVANE_SIMD
// On by default; tests switch it off to run the plain kernels. Switching
// refills the table, so it must not race a running operation.
inline bool fast_paths_on = true;
inline void set_fast_paths_enabled(bool on) {
    fast_paths_on = on;
    (void)fast::table();  // the first choice is made before it is overwritten
    fast::chosen_table = on ? fast::best_table() : fast::plain_table;
}
// Refills the table for the vector target in force (a test forcing one).
inline void choose_fast_paths() { set_fast_paths_enabled(fast_paths_on); }
#else
inline void set_fast_paths_enabled(bool) {}
inline void choose_fast_paths() {}
#endif

// A 32-bit word of pixel memory; pixels are read and written as words.
typedef uint32_t __attribute__((may_alias)) PixelWord;

// A whole pixel as one 64-bit word (pixel memory must be 8-byte aligned).
typedef uint64_t __attribute__((may_alias)) PixelBits;

inline bool pixel_aligned(const void *p) { return reinterpret_cast<uintptr_t>(p) % 8 == 0; }

}  // namespace relvane
