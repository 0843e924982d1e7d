// Fast path of rv_CopyRect: a gapless block of whole pixels moves as one
// block (the memory copy picks its fastest stores for large blocks); other
// masks move all selected fields in one masked pass per row.
#include <cstring>

#include "../core/pixel_fields.h"
#include "render_fast.h"
#include "../core/pixel_runs_simd.h"

namespace {

using relvane::PixelBits;

__attribute__((target_clones("avx2", "default")))
void merge_run(PixelBits *d, const PixelBits *s, size_t n, uint64_t keep, bool backwards) {
    if (backwards) {
        for (size_t i = n; i-- > 0;) d[i] = (d[i] & keep) | (s[i] & ~keep);
    } else {
        for (size_t i = 0; i < n; ++i) d[i] = (d[i] & keep) | (s[i] & ~keep);
    }
}

}  // namespace

namespace relvane::fast {

bool copy_block(uint32_t mask, const rv_Pixel *src, int32_t src_pitch, rv_Pixel *dst,
                int32_t dst_pitch, int32_t n, int32_t rows, bool backwards) {
    if (!pixel_aligned(src) || !pixel_aligned(dst)) return false;
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
    return true;
}

}  // namespace relvane::fast
