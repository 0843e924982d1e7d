// rv_ApplyWater: blends colour and light of submerged pixels towards the water.
#include "area.h"
#include "area_rows.h"
#include "water_blend.h"
#include "../shade/view_rows.h"

extern "C" void rv_ApplyWater(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water,
                              int32_t depth) {
    // The view passes' run with the water alone, in place.
    relvane::ViewSweep s;
    s.view = surface;
    s.water = true;
    s.water_values = relvane::water_values(*water, depth);
    const relvane::ViewRun run = relvane::view_run();
    relvane::for_each_area_band(surface, rect, [&](rv_Rect *band) {
        relvane::for_each_area_row(surface, band,
                                   [&](rv_Pixel *row, int32_t n) { run(row, row, nullptr, nullptr, n, 0, s); });
    });
}
