// Rows of a rectangle as runs of whole pixels, for the fill and copy fast
// paths.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fast_path.h"

namespace relvane::fast {

// Rows that follow each other without a gap form one run.
struct Runs {
    size_t n, count;
};

inline Runs runs(int32_t n, int32_t rows, bool gapless) {
    const auto w = static_cast<size_t>(n), h = static_cast<size_t>(rows);
    return gapless ? Runs{w * h, 1} : Runs{w, h};
}

// The pixels (at most n) before p reaches a multiple of bytes (p holds whole
// pixels; bytes is a vector's size, which need not be a power of two on
// scalable vectors): stores from there on split no more cache lines than
// they must. Once per run, so the division costs nothing.
inline size_t pixels_to_alignment(const void *p, size_t bytes, size_t n) {
    const size_t skew = (bytes - reinterpret_cast<uintptr_t>(p) % bytes) % bytes;
    return std::min(n, skew / 8);
}

}  // namespace relvane::fast
