// rv_CopyRect: whole pixels or selected fields from one surface to another.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "copy.h"
#include "draw_fast.h"
#include "../core/pixel_fields.h"
#include "../core/surface_rows.h"

namespace {

bool lies_after(const rv_Pixel *a, const rv_Pixel *b) {
    return reinterpret_cast<uintptr_t>(a) > reinterpret_cast<uintptr_t>(b);
}

}  // namespace

// The source rectangle is clipped to the source (and written back) by the
// shared rule; the block is then cut to the part that lands inside dst.
// Overlapping surfaces (windows into one parent, same pitch) copy as through
// a temporary: rows bottom-up and each row backwards when dst lies after src.
extern "C" void rv_CopyRect(uint32_t mask, const rv_Surface *src, rv_Rect *rect, rv_Surface *dst,
                            int32_t x, int32_t y) {
    const rv_Rect r = rv_ClipRect(src, rect);
    const uint32_t m = mask & RV_FIELD_ALL;
    if (r.w <= 0 || r.h <= 0 || m == 0) return;

    int64_t sx = r.x, sy = r.y, dx = x, dy = y, w = r.w, h = r.h;
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    w = std::min<int64_t>(w, dst->width - dx);
    h = std::min<int64_t>(h, dst->height - dy);
    if (w <= 0 || h <= 0) return;

    const auto n = static_cast<int32_t>(w);
    const auto rows = static_cast<int32_t>(h);
    const rv_Pixel *from = relvane::surface_pixel(src, static_cast<int32_t>(sx), static_cast<int32_t>(sy));
    rv_Pixel *to = relvane::surface_pixel(dst, static_cast<int32_t>(dx), static_cast<int32_t>(dy));
    const bool backwards = lies_after(to, from);
    RELVANE_TRY_FAST(relvane::fast::copy_block(m, from, src->pitch, to, dst->pitch, n, rows, backwards));
    for (int32_t k = 0; k < rows; ++k) {
        const int32_t row = backwards ? rows - 1 - k : k;
        const rv_Pixel *s = from + static_cast<ptrdiff_t>(row) * src->pitch;
        rv_Pixel *d = to + static_cast<ptrdiff_t>(row) * dst->pitch;
        if (m == RV_FIELD_ALL)
            std::memmove(d, s, static_cast<size_t>(n) * sizeof(rv_Pixel));
        else
            relvane::move_fields<1>(m, d, s, n, backwards);
    }
}
