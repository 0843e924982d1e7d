// rv_RaiseToLevel: moves heights at or below a level part of the way up to it.
#include "area.h"
#include "area_rows.h"
#include "draw_fast.h"
#include "raise_step.h"

RELVANE_PLAIN_KERNEL(raise_to_level) {
    const int64_t level_z = level->z;
    relvane::for_each_area_row(surface, rect, [&](rv_Pixel *row, int32_t n) {
        for (int32_t i = 0; i < n; ++i) {
            const int64_t z = row[i].z;
            if (z > level_z) continue;
            // computed in 64 bits, so no factor can wrap
            row[i].z = static_cast<uint16_t>(relvane::plain::raised_height<int64_t>(z, level_z, factor, 0, 65535));
        }
    });
}

extern "C" void rv_RaiseToLevel(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *level,
                                int32_t factor) {
    relvane::for_each_area_band(surface, rect,
                                [&](rv_Rect *band) { relvane::fast::raise_to_level(surface, band, level, factor); });
}
