// rv_FillRect: selected fields of one value into every pixel of a rectangle.
#include <cstring>

#include "area.h"
#include "area_rows.h"
#include "draw_fast.h"
#include "../core/pixel_fields.h"

namespace {

// The common masks get loops of their own; any other runs one pass per field.
void fill_row(uint32_t mask, rv_Pixel *row, int32_t n, const rv_Pixel &v) {
    switch (mask) {
    case RV_FIELD_ALL:
        for (int32_t i = 0; i < n; ++i) row[i] = v;
        break;
    case RV_FIELD_RED | RV_FIELD_GREEN | RV_FIELD_BLUE | RV_FIELD_ALPHA: {
        uint32_t rgba;
        std::memcpy(&rgba, &v, sizeof rgba);
        for (int32_t i = 0; i < n; ++i) std::memcpy(&row[i], &rgba, sizeof rgba);
        break;
    }
    case RV_FIELD_RED | RV_FIELD_GREEN | RV_FIELD_BLUE:
        for (int32_t i = 0; i < n; ++i) {
            row[i].red = v.red;
            row[i].green = v.green;
            row[i].blue = v.blue;
        }
        break;
    case RV_FIELD_RED | RV_FIELD_GREEN | RV_FIELD_BLUE | RV_FIELD_Z:
        for (int32_t i = 0; i < n; ++i) {
            row[i].red = v.red;
            row[i].green = v.green;
            row[i].blue = v.blue;
            row[i].z = v.z;
        }
        break;
    default:
        relvane::move_fields<0>(mask, row, &v, n, false);
    }
}

}  // namespace

RELVANE_PLAIN_KERNEL(fill_rect) {
    const uint32_t m = mask & RV_FIELD_ALL;
    if (m == 0) return;
    const rv_Pixel v = *value;
    relvane::for_each_area_row(surface, rect, [&](rv_Pixel *row, int32_t n) { fill_row(m, row, n, v); });
}

extern "C" void rv_FillRect(uint32_t mask, rv_Surface *surface, rv_Rect *rect,
                            const rv_Pixel *value) {
    relvane::for_each_area_band(surface, rect, [&](rv_Rect *band) { relvane::fast::fill_rect(mask, surface, band, value); });
}
