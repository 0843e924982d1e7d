// Fast path of rv_FillRect: whole pixels as a string store of one 8-byte
// pattern (as fast as memset), any other mask as one masked store per pixel.
#include "area_rows.h"
#include "../core/pixel_fields.h"
#include "draw_fast.h"
#include "../core/pixel_runs_simd.h"

namespace {

using relvane::PixelBits;

void store_run(PixelBits *p, size_t n, uint64_t value) {
#if defined(__x86_64__)
    asm volatile("rep stosq" : "+D"(p), "+c"(n) : "a"(value) : "memory");
#else
    for (size_t i = 0; i < n; ++i) p[i] = value;
#endif
}

__attribute__((target_clones("avx2", "default")))
void merge_run(PixelBits *p, size_t n, uint64_t keep, uint64_t value) {
    for (size_t i = 0; i < n; ++i) p[i] = (p[i] & keep) | value;
}

}  // namespace

namespace relvane::fast {

bool fill_rect(uint32_t mask, rv_Surface *surface, rv_Rect *rect, const rv_Pixel *value) {
    if (!pixel_aligned(surface->pixels)) return false;
    const rv_Rect r = rv_ClipRect(surface, rect);
    const uint64_t set = field_bytes(mask);
    if (r.w <= 0 || r.h <= 0 || set == 0) return true;
    uint64_t v;
    std::memcpy(&v, value, sizeof v);
    v &= set;
    const Runs rs = runs(r.w, r.h, r.w == surface->pitch);
    auto *row = reinterpret_cast<PixelBits *>(surface_pixel(surface, r.x, r.y));
    for (size_t k = 0; k < rs.count; ++k, row += surface->pitch) {
        if (set == ~uint64_t{0})
            store_run(row, rs.n, v);
        else
            merge_run(row, rs.n, ~set, v);
    }
    return true;
}

}  // namespace relvane::fast
