// Fast path of rv_CopyRect: a gapless block of whole pixels moves as one
// block (the memory copy picks its fastest stores for large blocks); other
// masks move all selected fields in one masked pass per row, a vector of
// pixels at a time.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "draw/copy_rect_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <cstring>

#include "draw_fast.h"
#include "../core/pixel_fields.h"
#include "../core/pixel_runs_simd.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// d[i] = (d[i] & keep) | (s[i] & ~keep). Backwards (d overlaps s after it)
// from the end: each vector reads its source before any later store can
// reach it, as the pixel-by-pixel order would.
void merge_run(uint64_t *d, const uint64_t *s, size_t n, uint64_t keep, bool backwards) {
    // (256-bit lanes at most: wider ones gained nothing on memory-bound merges)
    const hn::CappedTag<uint64_t, 4> t;
    const size_t lanes = hn::Lanes(t);
    const auto k = hn::Set(t, keep);
    auto merge = [&](size_t i) {
        hn::StoreU(hn::Or(hn::And(hn::LoadU(t, d + i), k), hn::AndNot(k, hn::LoadU(t, s + i))), t, d + i);
    };
    auto one = [&](size_t i) { d[i] = (d[i] & keep) | (s[i] & ~keep); };
    // the vectors start and end on boundaries of d: no store splits a cache line
    const size_t head = pixels_to_alignment(d, lanes * 8, n);
    const size_t body = head + (n - head) / lanes * lanes;
    if (backwards) {
        for (size_t i = n; i > body; --i) one(i - 1);
        for (size_t i = body; i > head; i -= lanes) merge(i - lanes);
        for (size_t i = head; i > 0; --i) one(i - 1);
    } else {
        for (size_t i = 0; i < head; ++i) one(i);
        for (size_t i = head; i < body; i += lanes) merge(i);
        for (size_t i = body; i < n; ++i) one(i);
    }
}

RELVANE_FAST_KERNEL(copy_block) {
    if (!pixel_aligned(src) || !pixel_aligned(dst))
        return plain::copy_block(mask, src, src_pitch, dst, dst_pitch, n, rows, backwards);
    const uint64_t set = field_bytes(mask);
    const Runs rs = runs(n, rows, src_pitch == n && dst_pitch == n);
    for (size_t k = 0; k < rs.count; ++k) {
        const size_t row = backwards ? rs.count - 1 - k : k;
        const rv_Pixel *s = src + static_cast<ptrdiff_t>(row) * src_pitch;
        rv_Pixel *d = dst + static_cast<ptrdiff_t>(row) * dst_pitch;
        if (set == ~uint64_t{0})
            std::memmove(d, s, rs.n * sizeof(rv_Pixel));
        else
            merge_run(reinterpret_cast<PixelBits *>(d), reinterpret_cast<const PixelBits *>(s), rs.n, ~set,
                      backwards);
    }
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(copy_block)

}  // namespace relvane::fast
#endif
