// rv_DrawBox: a flat axis-aligned rectangle, one pipe run per row.
#include "shapes.h"
#include "shape_bands.h"
#include "shape_rows.h"
#include "../core/float_convert.h"

using relvane::trunc_to_i32;

extern "C" void rv_DrawBox(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float x,
                           float y, float w, float h) {
    if (!relvane::shape_can_draw(pipe, surface)) return;
    const relvane::Run run =
        relvane::clip_run(trunc_to_i32(x), trunc_to_i32(x + w), surface->width);
    int32_t y0 = trunc_to_i32(y), y1 = trunc_to_i32(y + h);
    if (y0 < 0) y0 = 0;
    if (y1 > surface->height) y1 = surface->height;
    if (y0 >= y1) return;

    const rv_Pixel m = *material;
    relvane::shape_rows(pipe, surface, y0, y1, run.count, [&](int32_t, rv_Pixel *span) {
        // Written afresh for every row: the pipe may use the span meanwhile.
        for (int32_t i = 0; i < run.count; ++i) {
            span[i].red = m.red;
            span[i].green = m.green;
            span[i].blue = m.blue;
            span[i].z = m.z;
        }
        return run;
    });
}
