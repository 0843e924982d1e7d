// Fast path of rv_ApplyWater: the same blend without a branch per pixel, so
// that it vectorises. A pixel above the level gets weight 0, which leaves
// every channel exactly as it was ((c * 256) >> 8 = c).
#include "area_rows.h"
#include "../core/fast_path.h"

namespace {

struct Water {
    uint32_t red, green, blue, light, alpha, level, f;
};

__attribute__((target_clones("avx2", "default")))
void water_row(relvane::PixelWord *words, int32_t n, Water w) {
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t lo = words[2 * i], hi = words[2 * i + 1];
        const uint32_t z = hi >> 16;
        const uint32_t deep = w.alpha + ((w.f * (w.level - z)) >> 16);
        const uint32_t alpha = z > w.level ? 0u : deep > 256u ? 256u : deep;
        const uint32_t beta = 256u - alpha;
        const uint32_t r = (w.red * alpha + (lo & 0xFF) * beta) >> 8;
        const uint32_t g = (w.green * alpha + ((lo >> 8) & 0xFF) * beta) >> 8;
        const uint32_t b = (w.blue * alpha + ((lo >> 16) & 0xFF) * beta) >> 8;
        const uint32_t light = (w.light * alpha + (hi & 0xFFFF) * beta) >> 8;
        words[2 * i] = (lo & 0xFF000000u) | r | (g << 8) | (b << 16);
        words[2 * i + 1] = (hi & 0xFFFF0000u) | light;
    }
}

}  // namespace

namespace relvane::fast {

bool apply_water(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water, int32_t depth) {
    const Water w{water->red, water->green, water->blue, water->light, water->alpha, water->z,
                  depth > 0 ? 65536u / static_cast<uint32_t>(depth) : 65536u};
    for_each_area_row(surface, rect, [&](rv_Pixel *row, int32_t n) {
        water_row(reinterpret_cast<PixelWord *>(row), n, w);
    });
    return true;
}

}  // namespace relvane::fast
