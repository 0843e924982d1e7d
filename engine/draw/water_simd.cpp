// Fast path of rv_ApplyWater: the same blend a vector of pixels at a time,
// the colour words and the light/height words split into two vectors.
// Groups that lie wholly above the level are not written.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "draw/water_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "area_rows.h"
#include "draw_fast.h"
#include "water_blend.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "water_blend-inl.h"
#include "../core/word_pairs-inl.h"

// One row. The constants are the row's own: vectors reached through a
// capture would be reloaded after every store.
void water_row(rv_Pixel *row, int32_t n, const Water &one) {
    size_t i = 0;
#if HWY_TARGET != HWY_SCALAR  // the word order needs two lanes
    const hn::ScalableTag<uint32_t> d;
    using V = hn::Vec<decltype(d)>;
    const V red = hn::Set(d, one.red), green = hn::Set(d, one.green), blue = hn::Set(d, one.blue);
    const V light = hn::Set(d, one.light), alpha0 = hn::Set(d, one.alpha), level = hn::Set(d, one.level);
    const V f = hn::Set(d, one.f), full = hn::Set(d, 256u);
    const V byte = hn::Set(d, 0xFFu), low16 = hn::Set(d, 0xFFFFu);
    const V alpha_byte = hn::Set(d, 0xFF000000u), height_half = hn::Set(d, 0xFFFF0000u);
    const size_t lanes = hn::Lanes(d);
    auto *words = reinterpret_cast<uint32_t *>(row);
    for (; i + lanes <= static_cast<size_t>(n); i += lanes) {
        const V lo = hn::LoadU(d, words + 2 * i), hi = hn::LoadU(d, words + 2 * i + lanes);
        const V rgba = colour_words(d, lo, hi), lz = light_words(d, lo, hi);
        const V z = hn::ShiftRight<16>(lz);
        const V alpha = water_weight(z, hn::Gt(z, level), level, alpha0, f, full);
        if (hn::AllTrue(d, hn::Eq(alpha, hn::Zero(d)))) continue;  // all above the water
        const V beta = hn::Sub(full, alpha);
        const V r = water_mix(red, hn::And(rgba, byte), alpha, beta);
        const V g = water_mix(green, hn::And(hn::ShiftRight<8>(rgba), byte), alpha, beta);
        const V b = water_mix(blue, hn::And(hn::ShiftRight<16>(rgba), byte), alpha, beta);
        const V lit = water_mix(light, hn::And(lz, low16), alpha, beta);
        const V out_rgba = hn::Or(hn::Or(hn::And(rgba, alpha_byte), r),
                                  hn::Or(hn::ShiftLeft<8>(g), hn::ShiftLeft<16>(b)));
        store_words(d, out_rgba, hn::Or(hn::And(lz, height_half), lit), words + 2 * i);
    }
#endif
    for (; i < static_cast<size_t>(n); ++i) relvane::water_pixel(one, row[i]);
}

bool apply_water(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water, int32_t depth) {
    const Water one = water_values(*water, depth);
    for_each_area_row(surface, rect, [&one](rv_Pixel *row, int32_t n) { water_row(row, n, one); });
    return true;
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace relvane::fast {

HWY_EXPORT(apply_water);

bool apply_water(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water, int32_t depth) {
    return HWY_DYNAMIC_DISPATCH(apply_water)(surface, rect, water, depth);
}

}  // namespace relvane::fast
#endif
