// Fast path of rv_ShadeSlopes: the same single-precision steps in 32-bit
// lanes, so that the square roots vectorise (this file is built without
// errno for sqrtf; the results are the same).
#include <cmath>

#include "../core/fast_path.h"
#include "../core/float_convert.h"
#include "../core/surface_rows.h"

namespace {

using relvane::PixelWord;

// Heights are the high half of a pixel's second word, light the low half.
__attribute__((target_clones("avx2", "default")))
void shade_row(PixelWord *row, const PixelWord *below, int32_t n, int32_t rise, int32_t floor) {
    for (int32_t x = 0; x < n; ++x) {
        const auto a = static_cast<int32_t>(row[2 * x + 1] >> 16);
        const auto b = static_cast<int32_t>(row[2 * x + 3] >> 16);
        const auto c = static_cast<int32_t>(below[2 * x + 1] >> 16);
        const auto d = static_cast<int32_t>(below[2 * x + 3] >> 16);
        const auto u = static_cast<float>(b - c);
        const auto v = static_cast<float>(d - a - rise);
        const auto m = static_cast<int32_t>(0.5f * sqrtf(v * v + u * u));
        int32_t factor = 384 - m;
        factor = factor < floor ? floor : factor;
        factor = factor < 0 ? 0 : factor;
        const uint32_t word = row[2 * x + 1];
        uint32_t lit = (static_cast<uint32_t>(factor) * (word & 0xFFFFu)) >> 8;
        lit = lit > 65535u ? 65535u : lit;
        row[2 * x + 1] = (word & 0xFFFF0000u) | lit;
    }
}

}  // namespace

namespace relvane::fast {

// rise and floor as the plain code computes them. Every value stays exact in
// 32-bit lanes while |rise| < 2^23 (heights differ by less than 2^17, so the
// float conversions are exact) and floor <= 384 (factor * light < 2^25; a
// negative factor and a factor of 0 both leave light 0).
bool shade_slopes(rv_Surface *surface, int64_t rise, int64_t floor) {
    if (rise <= -(1 << 23) || rise >= (1 << 23) || floor > 384) return false;
    const int32_t w = surface->width, h = surface->height;
    const auto f = static_cast<int32_t>(floor < -1 ? -1 : floor);
    for (int32_t y = 0; y < h - 1; ++y)
        shade_row(reinterpret_cast<PixelWord *>(surface_row(surface, y)),
                  reinterpret_cast<const PixelWord *>(surface_row(surface, y + 1)), w - 1,
                  static_cast<int32_t>(rise), f);
    return true;
}

}  // namespace relvane::fast
