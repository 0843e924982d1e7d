// Fast path of rv_ShadeSlopes: the same single-precision steps in 32-bit
// lanes, so that the square roots vectorise (this file is built without
// errno for sqrtf; the results are the same).
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "shade/shade_slopes_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <cmath>

#include "shade_fast.h"
#include "../core/surface_rows.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
#include "../core/word_pairs-inl.h"

// Heights are the high half of a pixel's second word, light the low half.
void shade_tail(PixelWord *row, const PixelWord *below, int32_t n, int32_t rise, int32_t floor) {
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

// The same single-precision steps a vector of pixels at a time (no fused
// multiply-add: each product and sum rounds as in the plain code); only the
// light halves change.
void shade_row(PixelWord *row, const PixelWord *below, int32_t n, int32_t rise, int32_t floor) {
#if HWY_TARGET == HWY_SCALAR
    const int32_t x = 0;  // the word order needs two lanes
#else
    const hn::ScalableTag<uint32_t> d;
    const hn::RebindToSigned<decltype(d)> di;
    const hn::RebindToFloat<decltype(d)> df;
    const auto rise_v = hn::Set(di, rise), floor_v = hn::Set(di, floor), c384 = hn::Set(di, 384);
    const auto low16 = hn::Set(d, 0xFFFFu);
    const auto zero = hn::Zero(di);
    const auto half = hn::Set(df, 0.5f);
    auto height = [di](hn::Vec<decltype(d)> words) { return hn::BitCast(di, hn::ShiftRight<16>(words)); };
    const auto lanes = static_cast<int32_t>(hn::Lanes(d));
    int32_t x = 0;
    // the light words of 2 * lanes pixels from p on
    const auto light_at = [d, lanes](const PixelWord *p) {
        return light_words(d, hn::LoadU(d, p), hn::LoadU(d, p + lanes));
    };
    for (; x + lanes <= n; x += lanes) {
        PixelWord *p = row + 2 * x;
        const auto lo = hn::LoadU(d, p), hi = hn::LoadU(d, p + lanes);
        const auto lz = light_words(d, lo, hi);
        const auto a = height(lz);
        const auto b = height(light_at(p + 2));
        const auto c = height(light_at(below + 2 * x));
        const auto e = height(light_at(below + 2 * x + 2));
        const auto u = hn::ConvertTo(df, hn::Sub(b, c));
        const auto v = hn::ConvertTo(df, hn::Sub(hn::Sub(e, a), rise_v));
        // truncates toward zero, as the plain code's conversion
        const auto m = hn::ConvertTo(di, hn::Mul(half, hn::Sqrt(hn::Add(hn::Mul(v, v), hn::Mul(u, u)))));
        const auto factor = hn::BitCast(d, hn::Max(hn::Max(hn::Sub(c384, m), floor_v), zero));
        const auto lit = hn::Min(hn::ShiftRight<8>(hn::Mul(factor, hn::And(lz, low16))), low16);
        store_light_words(d, hn::Or(hn::AndNot(low16, lz), lit), lo, hi, p);
    }
#endif
    shade_tail(row + 2 * x, below + 2 * x, n - x, rise, floor);
}

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

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace relvane::fast {

HWY_EXPORT(shade_slopes);

bool shade_slopes(rv_Surface *surface, int64_t rise, int64_t floor) {
    return HWY_DYNAMIC_DISPATCH(shade_slopes)(surface, rise, floor);
}

}  // namespace relvane::fast
#endif
