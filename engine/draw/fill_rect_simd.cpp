// Fast path of rv_FillRect: whole pixels as vectors of one 8-byte pattern,
// any other mask as one masked merge per pixel, a vector of pixels at a time.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "draw/fill_rect_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <cstring>

#include "area_rows.h"
#include "draw_fast.h"
#include "../core/pixel_fields.h"
#include "../core/pixel_runs_simd.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Each pixel of the run becomes (pixel & keep) | value; keep = 0 stores value.
void fill_run(uint64_t *p, size_t n, uint64_t keep, uint64_t value) {
    const hn::ScalableTag<uint64_t> d;
    const size_t lanes = hn::Lanes(d);
    const auto v = hn::Set(d, value);
    // from the first pixel on a vector boundary: no store splits a cache line
    size_t i = 0;
    for (const size_t head = pixels_to_alignment(p, lanes * 8, n); i < head; ++i) p[i] = (p[i] & keep) | value;
    if (keep == 0) {
        for (; i + lanes <= n; i += lanes) hn::Store(v, d, p + i);
    } else {
        const auto k = hn::Set(d, keep);
        for (; i + lanes <= n; i += lanes) hn::StoreU(hn::Or(hn::And(hn::LoadU(d, p + i), k), v), d, p + i);
    }
    for (; i < n; ++i) p[i] = (p[i] & keep) | value;
}

RELVANE_FAST_KERNEL(fill_rect) {
    if (!pixel_aligned(surface->pixels)) return plain::fill_rect(mask, surface, rect, value);
    const rv_Rect r = rv_ClipRect(surface, rect);
    const uint64_t set = field_bytes(mask);
    if (r.w <= 0 || r.h <= 0 || set == 0) return;
    uint64_t v;
    std::memcpy(&v, value, sizeof v);
    const Runs rs = runs(r.w, r.h, r.w == surface->pitch);
    auto *row = reinterpret_cast<PixelBits *>(surface_pixel(surface, r.x, r.y));
    for (size_t k = 0; k < rs.count; ++k, row += surface->pitch) fill_run(row, rs.n, ~set, v & set);
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(fill_rect)

}  // namespace relvane::fast
#endif
