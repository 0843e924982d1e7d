// Rows of a rectangle as runs of whole pixels, for the fill and copy fast
// paths.
#pragma once

#include <cstddef>

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

}  // namespace relvane::fast
