// rv_RaiseToLevel: moves heights at or below a level part of the way up to it.
#include "area.h"
#include "area_rows.h"
#include "../core/fast_path.h"
#include "../core/float_convert.h"

extern "C" void rv_RaiseToLevel(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *level,
                                int32_t factor) {
    RELVANE_TRY_FAST(relvane::fast::raise_to_level(surface, rect, level, factor));
    const int64_t l = level->z;
    relvane::for_each_area_row(surface, rect, [&](rv_Pixel *row, int32_t n) {
        for (int32_t i = 0; i < n; ++i) {
            const int64_t z = row[i].z;
            if (z > l) continue;
            // 64-bit product, arithmetic shift; any factor outside 0..256
            // lands on 0 or 65535 rather than wrapping.
            row[i].z = relvane::clamp_u16(z + (((l - z) * factor) >> 8));
        }
    });
}
