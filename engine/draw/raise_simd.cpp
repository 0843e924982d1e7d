// Fast path of rv_RaiseToLevel: branch-free in 32 bits, so that it
// vectorises. Factors whose product could leave 32 bits stay with the plain
// code.
#include "area_rows.h"
#include "../core/fast_path.h"

namespace {

__attribute__((target_clones("avx2", "default")))
void raise_row(relvane::PixelWord *words, int32_t n, int32_t level, int32_t factor) {
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t hi = words[2 * i + 1];
        const auto z = static_cast<int32_t>(hi >> 16);
        int32_t raised = z + (((level - z) * factor) >> 8);
        raised = raised < 0 ? 0 : raised > 65535 ? 65535 : raised;
        const int32_t out = z > level ? z : raised;
        words[2 * i + 1] = (hi & 0xFFFFu) | (static_cast<uint32_t>(out) << 16);
    }
}

}  // namespace

namespace relvane::fast {

bool raise_to_level(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *level, int32_t factor) {
    // (level - z) <= 65535, so the product fits 32 bits for |factor| < 32768.
    if (factor < -32767 || factor > 32767) return false;
    for_each_area_row(surface, rect, [&](rv_Pixel *row, int32_t n) {
        raise_row(reinterpret_cast<PixelWord *>(row), n, level->z, factor);
    });
    return true;
}

}  // namespace relvane::fast
