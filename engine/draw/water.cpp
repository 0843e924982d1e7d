// rv_ApplyWater: blends colour and light of submerged pixels towards the water.
#include "area.h"
#include "area_rows.h"
#include "draw_fast.h"
#include "water_blend.h"

extern "C" void rv_ApplyWater(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water,
                              int32_t depth) {
    RELVANE_TRY_FAST(relvane::fast::apply_water(surface, rect, water, depth));
    const relvane::Water w = relvane::water_values(*water, depth);
    relvane::for_each_area_row(surface, rect, [&](rv_Pixel *row, int32_t n) {
        for (int32_t i = 0; i < n; ++i) relvane::water_pixel(w, row[i]);
    });
}
