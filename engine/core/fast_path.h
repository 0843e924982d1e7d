// The switch of the fast-path layer and what every layer's fast paths share.
// The fast paths are bit-exact rewrites of the hot loops over portable
// vectors, built only when RELVANE_SIMD is on; each layer declares its own
// in a header of its own (draw_fast.h, stages_fast.h, terrain_fast.h, shade_fast.h,
// display_fast.h). A
// public function tries its fast path in its first line and runs its own
// plain code when the fast path declines.
#pragma once

#include <cstdint>

namespace relvane {

#if RELVANE_SIMD
// On by default; tests switch it off to reach the plain code.
inline bool fast_paths_on = true;
inline bool fast_paths_enabled() { return fast_paths_on; }
inline void set_fast_paths_enabled(bool on) { fast_paths_on = on; }

#define RELVANE_TRY_FAST(call)                                      \
    do {                                                            \
        if (::relvane::fast_paths_on && (call)) return;             \
    } while (0)
#else
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
