// rv_ApplyWater: blends colour and light of submerged pixels towards the water.
#include "area.h"
#include "area_rows.h"
#include "../core/fast_path.h"

extern "C" void rv_ApplyWater(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water,
                              int32_t depth) {
    RELVANE_TRY_FAST(relvane::fast::apply_water(surface, rect, water, depth));
    const rv_Pixel w = *water;
    const uint32_t level = w.z;
    // Weight gained per z unit below the level, out of 65536.
    const uint32_t f = depth > 0 ? 65536u / static_cast<uint32_t>(depth) : 65536u;
    relvane::for_each_area_row(surface, rect, [&](rv_Pixel *row, int32_t n) {
        for (int32_t i = 0; i < n; ++i) {
            rv_Pixel &p = row[i];
            if (p.z > level) continue;
            // f * (level - z) <= 65536 * 65535: fits 32 bits.
            const uint32_t a = (f * (level - p.z)) >> 16;
            uint32_t alpha = w.alpha + a;
            if (alpha > 256) alpha = 256;
            const uint32_t beta = 256 - alpha;
            p.red = static_cast<uint8_t>((w.red * alpha + p.red * beta) >> 8);
            p.green = static_cast<uint8_t>((w.green * alpha + p.green * beta) >> 8);
            p.blue = static_cast<uint8_t>((w.blue * alpha + p.blue * beta) >> 8);
            p.light = static_cast<uint16_t>((w.light * alpha + p.light * beta) >> 8);
        }
    });
}
