// rv_CopyRect: whole pixels or selected fields from one surface to another.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "copy.h"
#include "draw_fast.h"
#include "../core/pixel_fields.h"
#include "../core/surface_rows.h"
#include "../core/threads.h"

namespace {

bool lies_after(const rv_Pixel *a, const rv_Pixel *b) {
    return reinterpret_cast<uintptr_t>(a) > reinterpret_cast<uintptr_t>(b);
}

}  // namespace

// Rows bottom-up, and each row from its end, when backwards.
RELVANE_PLAIN_KERNEL(copy_block) {
    for (int32_t k = 0; k < rows; ++k) {
        const int32_t row = backwards ? rows - 1 - k : k;
        const rv_Pixel *s = src + static_cast<ptrdiff_t>(row) * src_pitch;
        rv_Pixel *d = dst + static_cast<ptrdiff_t>(row) * dst_pitch;
        if (mask == RV_FIELD_ALL)
            std::memmove(d, s, static_cast<size_t>(n) * sizeof(rv_Pixel));
        else
            relvane::move_fields<1>(mask, d, s, n, backwards);
    }
}

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
    // Rows bottom-up, or a row at a time from any worker: bands of rows each
    // copy the same bytes wherever the rows were cut, unless the two blocks
    // share memory.
    auto band = [&](int64_t first, int64_t last) {
        const rv_Pixel *s0 = from + first * src->pitch;
        rv_Pixel *d0 = to + first * dst->pitch;
        relvane::fast::copy_block(m, s0, src->pitch, d0, dst->pitch, n, static_cast<int32_t>(last - first), backwards);
    };
    const auto address = [](const rv_Pixel *p) { return reinterpret_cast<uintptr_t>(p); };
    const uintptr_t s_end = address(from + static_cast<ptrdiff_t>(rows - 1) * src->pitch + n);
    const uintptr_t d_end = address(to + static_cast<ptrdiff_t>(rows - 1) * dst->pitch + n);
    const bool shared = address(from) < d_end && address(to) < s_end;
    if (shared)
        band(0, rows);
    else
        relvane::parallel_rows(dst->context, rows, n, band);
}
