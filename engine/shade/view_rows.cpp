// The plain kernels of the view passes, one run of a row at a time.
#include "view_rows.h"

#include <algorithm>
#include <cmath>

#include "../core/float_convert.h"

namespace relvane {
namespace {

void slopes_row(rv_Pixel *out, const rv_Pixel *zrow, const rv_Pixel *zbelow, int32_t n, int32_t rise,
                int32_t floor) {
    for (int32_t x = 0; x < n; ++x) {
        const int64_t a = zrow[x].z, b = zrow[x + 1].z, c = zbelow[x].z, d = zbelow[x + 1].z;
        const float u = static_cast<float>(b - c);
        const float v = static_cast<float>(d - a - rise);
        const int64_t m = trunc_to_i32(0.5f * sqrtf(v * v + u * u));
        const int64_t factor = std::max<int64_t>(384 - m, floor);
        // Saturates rather than wrapping a bright pixel round to dark.
        const int64_t lit = (factor * out[x].light) >> 8;
        out[x].light = static_cast<uint16_t>(std::clamp<int64_t>(lit, 0, 65535));
    }
}

// Light left at shadow depth e: the mean of a narrow falloff (half at 128)
// and a wide one (half at 8192).
uint16_t darken(uint16_t light, uint64_t e) {
    const uint64_t l = light;
    return static_cast<uint16_t>(((l * 8192) / (e + 8192) + (l * 128) / (e + 128)) >> 1);
}

// A falling line stays within 0..65535 where it is kept: it is either a
// height or above one.
void shadows_row(rv_Pixel *row, int32_t *lines, int32_t n, int32_t fall) {
    for (int32_t x = 0; x < n; ++x) {
        const int32_t z = row[x].z;
        const int32_t line = lines[x] + fall;
        if (z >= line) {
            lines[x] = z;
        } else {
            lines[x] = line;
            row[x].light = darken(row[x].light, static_cast<uint64_t>(line - z));
        }
    }
}

void water_row(rv_Pixel *row, int32_t n, const Water &water) {
    for (int32_t x = 0; x < n; ++x) water_pixel(water, row[x]);
}

void relight_row(rv_Pixel *row, int32_t n, uint16_t light) {
    for (int32_t x = 0; x < n; ++x) row[x].light = light;
}

}  // namespace

const ViewRows plain_view_rows = {slopes_row, shadows_row, water_row, relight_row};

RELVANE_PLAIN_KERNEL(view_run) {
    if (from != out) std::copy(from, from + n, out);
    if (s.relight) relight_row(out, n, s.light);
    if (s.slopes && lit > 0) slopes_row(out, from, below, lit, s.rise, s.floor);
    if (s.shadows) shadows_row(out, lines, n, s.fall);
    if (s.water) water_row(out, n, s.water_values);
    if (s.haze) water_row(out, n, s.haze_values);
}

}  // namespace relvane
