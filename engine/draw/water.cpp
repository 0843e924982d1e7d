// rv_ApplyWater: blends colour and light of submerged pixels towards the water.
#include <algorithm>

#include "area.h"
#include "water_blend.h"
#include "../core/surface_rows.h"
#include "../core/threads.h"
#include "../shade/view_rows.h"
#include "../shade/view_sweep.h"

extern "C" void rv_ApplyWater(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water,
                              int32_t depth) {
    const rv_Rect r = rv_ClipRect(surface, rect);
    if (r.w <= 0 || r.h <= 0) return;
    const relvane::Water w = relvane::water_values(*water, depth);
    const relvane::ViewRows &rows = relvane::view_rows();
    // bands of rows with enough pixels each to pay for a worker
    relvane::parallel_chunks(surface->context, r.h, std::max<int64_t>(1, relvane::pixels_per_worker / r.w), [&](int64_t first, int64_t last) {
        for (int64_t y = first; y < last; ++y)
            rows.water(relvane::surface_pixel(surface, r.x, r.y + static_cast<int32_t>(y)), r.w, w);
    });
}
