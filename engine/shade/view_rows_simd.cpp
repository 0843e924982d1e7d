// The vector kernels of the view passes: the plain kernels' steps a vector
// of pixels at a time (see view_rows.h), and the whole-surface fast entries
// the per-target tests reach them through.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "shade/view_rows_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <cmath>
#include <vector>

#include "view_rows.h"
#include "../core/surface_rows.h"
#include "../draw/area_rows.h"
#include "../draw/draw_fast.h"
#include "shade_fast.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "../draw/water_blend-inl.h"
#include "../core/word_pairs-inl.h"

// ---- slopes ----------------------------------------------------------------

// Heights are the high half of a pixel's second word, light the low half.
void slopes_tail(PixelWord *out, const PixelWord *zrow, const PixelWord *below, int32_t n, int32_t rise,
                 int32_t floor) {
    for (int32_t x = 0; x < n; ++x) {
        const auto a = static_cast<int32_t>(zrow[2 * x + 1] >> 16);
        const auto b = static_cast<int32_t>(zrow[2 * x + 3] >> 16);
        const auto c = static_cast<int32_t>(below[2 * x + 1] >> 16);
        const auto d = static_cast<int32_t>(below[2 * x + 3] >> 16);
        const auto u = static_cast<float>(b - c);
        const auto v = static_cast<float>(d - a - rise);
        const auto m = static_cast<int32_t>(0.5f * sqrtf(v * v + u * u));
        int32_t factor = 384 - m;
        factor = factor < floor ? floor : factor;
        factor = factor < 0 ? 0 : factor;
        const uint32_t word = out[2 * x + 1];
        uint32_t lit = (static_cast<uint32_t>(factor) * (word & 0xFFFFu)) >> 8;
        lit = lit > 65535u ? 65535u : lit;
        out[2 * x + 1] = (word & 0xFFFF0000u) | lit;
    }
}

// The same single-precision steps a vector of pixels at a time (no fused
// multiply-add: each product and sum rounds as in the plain code); only the
// light halves change. Every value stays exact in 32-bit lanes while
// |rise| < 2^23 (heights differ by less than 2^17, so the float conversions
// are exact) and floor <= 384 (factor * light < 2^25; a negative factor and
// a factor of 0 both leave light 0).
void slopes_words(PixelWord *out, const PixelWord *zrow, const PixelWord *below, int32_t n, int32_t rise,
                  int32_t floor) {
    int32_t x = 0;
#if HWY_TARGET != HWY_SCALAR  // the word order needs two lanes
    const hn::ScalableTag<uint32_t> d;
    const hn::RebindToSigned<decltype(d)> di;
    const hn::RebindToFloat<decltype(d)> df;
    const auto rise_v = hn::Set(di, rise), floor_v = hn::Set(di, floor), c384 = hn::Set(di, 384);
    const auto low16 = hn::Set(d, 0xFFFFu);
    const auto zero = hn::Zero(di);
    const auto half = hn::Set(df, 0.5f);
    auto height = [di](hn::Vec<decltype(d)> words) { return hn::BitCast(di, hn::ShiftRight<16>(words)); };
    const auto lanes = static_cast<int32_t>(hn::Lanes(d));
    // the light words of 2 * lanes pixels from p on
    const auto light_at = [d, lanes](const PixelWord *p) {
        return light_words(d, hn::LoadU(d, p), hn::LoadU(d, p + lanes));
    };
    for (; x + lanes <= n; x += lanes) {
        PixelWord *p = out + 2 * x;
        const auto lo = hn::LoadU(d, p), hi = hn::LoadU(d, p + lanes);
        const auto lz = light_words(d, lo, hi);
        const auto a = height(lz);  // out's heights are zrow's
        const auto b = height(light_at(zrow + 2 * x + 2));
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
    slopes_tail(out + 2 * x, zrow + 2 * x, below + 2 * x, n - x, rise, floor);
}

RELVANE_FAST_KERNEL(view_slopes) {
    slopes_words(reinterpret_cast<PixelWord *>(out), reinterpret_cast<const PixelWord *>(zrow),
                 reinterpret_cast<const PixelWord *>(zbelow), n, rise, floor < -1 ? -1 : floor);
}

// ---- shadows ---------------------------------------------------------------

// n / d for 0 <= n < 2^29 and 0 < d < 2^17: the single-precision quotient is
// within one of the true one, and one correction step makes it exact.
inline int32_t quotient(int32_t n, int32_t d) {
    int32_t q = static_cast<int32_t>(static_cast<float>(n) / static_cast<float>(d));
    const int32_t r = n - q * d;
    q += (r >= d) - (r < 0);
    return q;
}

// Both quotients are formed for every pixel and the lit ones keep their light
// by mask, which keeps the loop free of branches.
void shadow_pixels(PixelWord *__restrict row, int32_t *__restrict lines, int32_t first, int32_t n,
                   int32_t fall) {
    for (int32_t x = first; x < n; ++x) {
        const uint32_t word = row[2 * x + 1];
        const auto z = static_cast<int32_t>(word >> 16);
        const int32_t line = lines[x] + fall;
        const int32_t lit = -static_cast<int32_t>(z >= line);  // all ones when lit
        lines[x] = (z & lit) | (line & ~lit);
        const int32_t e = (1 & lit) | ((line - z) & ~lit);
        const auto light = static_cast<int32_t>(word & 0xFFFFu);
        const int32_t dark = (quotient(light * 8192, e + 8192) + quotient(light * 128, e + 128)) >> 1;
        row[2 * x + 1] = (word & 0xFFFF0000u) | static_cast<uint32_t>((light & lit) | (dark & ~lit));
    }
}

// The same quotient in lanes. Here quotients stay below 2^16, so adding 2^23
// to the single-precision one rounds it to an integer held in the low
// mantissa bits: the nearest integer, which like the truncated one is within
// one of the true quotient (and costs no overflow fix-up).
template <class D, class V>
HWY_INLINE V quotient_lanes(D d, V n, V divisor) {
    const hn::RebindToFloat<D> df;
    const auto two23 = hn::Set(df, 8388608.0f);
    const auto f = hn::Add(hn::Div(hn::ConvertTo(df, n), hn::ConvertTo(df, divisor)), two23);
    V q = hn::Sub(hn::BitCast(d, f), hn::BitCast(d, two23));
    const V r = hn::Sub(n, hn::Mul(q, divisor));
    q = hn::Sub(q, hn::VecFromMask(d, hn::Gt(r, hn::Sub(divisor, hn::Set(d, 1)))));
    return hn::Add(q, hn::VecFromMask(d, hn::Lt(r, hn::Zero(d))));
}

// A vector of pixels at a time, the shadow lines in column order. Groups
// that are wholly lit are not written.
RELVANE_FAST_KERNEL(view_shadows) {
    auto *words_of_row = reinterpret_cast<PixelWord *>(row);
    int32_t x = 0;
#if HWY_TARGET != HWY_SCALAR  // the word order needs two lanes
    const hn::ScalableTag<int32_t> d;
    const hn::RebindToUnsigned<decltype(d)> du;
    using V = hn::Vec<decltype(d)>;
    const V fall_v = hn::Set(d, fall), low16 = hn::Set(d, 0xFFFF), one = hn::Set(d, 1);
    const V c128 = hn::Set(d, 128), c8192 = hn::Set(d, 8192);
    auto *words = reinterpret_cast<int32_t *>(row);
    const auto lanes = static_cast<int32_t>(hn::Lanes(d));
    // Back into the words they came from: lanes 2k and 2k + 1 of the first
    // vector take light word k, those of the second word k + lanes / 2, and
    // only the odd lanes are kept.
    const auto pair = hn::ShiftRight<1>(hn::Iota(d, 0));
    const auto first_half = hn::IndicesFromVec(d, pair);
    const auto second_half = hn::IndicesFromVec(d, hn::Add(pair, hn::Set(d, lanes / 2)));
    for (; x + lanes <= n; x += lanes) {
        int32_t *p = words + 2 * x;
        const V lo = hn::LoadU(d, p), hi = hn::LoadU(d, p + lanes);
        const V lz = hn::ConcatOdd(d, hi, lo);
        const V z = hn::BitCast(d, hn::ShiftRight<16>(hn::BitCast(du, lz)));
        const V line = hn::Add(hn::LoadU(d, lines + x), fall_v);
        const auto shadowed = hn::Gt(line, z);
        hn::StoreU(hn::IfThenElse(shadowed, line, z), d, lines + x);
        if (hn::AllFalse(d, shadowed)) continue;
        const V e = hn::IfThenElse(shadowed, hn::Sub(line, z), one);
        const V light = hn::And(lz, low16);
        // light * 8192 < 2^29 and e + 8192 < 2^17: quotient's range
        const V dark = hn::ShiftRight<1>(hn::Add(quotient_lanes(d, hn::ShiftLeft<13>(light), hn::Add(e, c8192)),
                                                 quotient_lanes(d, hn::ShiftLeft<7>(light), hn::Add(e, c128))));
        const V out_lz = hn::Or(hn::AndNot(low16, lz), hn::IfThenElse(shadowed, dark, light));
        hn::StoreU(hn::OddEven(hn::TableLookupLanes(out_lz, first_half), lo), d, p);
        hn::StoreU(hn::OddEven(hn::TableLookupLanes(out_lz, second_half), hi), d, p + lanes);
    }
#endif
    shadow_pixels(words_of_row, lines, x, n, fall);
}

// ---- water and light -------------------------------------------------------

// The constants are the row's own: vectors reached through a capture would
// be reloaded after every store. Groups that lie wholly above the level are
// not written.
RELVANE_FAST_KERNEL(view_water) {
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

// Two waters one after the other (the view's water, then its haze), each
// pixel loaded and split once.
RELVANE_FAST_KERNEL(view_waters) {
    size_t i = 0;
#if HWY_TARGET != HWY_SCALAR  // the word order needs two lanes
    const hn::ScalableTag<uint32_t> d;
    using V = hn::Vec<decltype(d)>;
    const V full = hn::Set(d, 256u), byte = hn::Set(d, 0xFFu), low16 = hn::Set(d, 0xFFFFu);
    const V alpha_byte = hn::Set(d, 0xFF000000u), height_half = hn::Set(d, 0xFFFF0000u);
    const size_t lanes = hn::Lanes(d);
    auto *words = reinterpret_cast<uint32_t *>(row);
    for (; i + lanes <= static_cast<size_t>(n); i += lanes) {
        const V lo = hn::LoadU(d, words + 2 * i), hi = hn::LoadU(d, words + 2 * i + lanes);
        const V rgba = colour_words(d, lo, hi), lz = light_words(d, lo, hi);
        const V z = hn::ShiftRight<16>(lz);
        // (each water's values are broadcast where used: SVE vectors cannot be
        // kept in a record)
        const auto weight = [&](const Water &w) {
            const V level = hn::Set(d, w.level);
            return water_weight(z, hn::Gt(z, level), level, hn::Set(d, w.alpha), hn::Set(d, w.f), full);
        };
        const V a1 = weight(one), a2 = weight(two);
        if (hn::AllTrue(d, hn::Eq(hn::Or(a1, a2), hn::Zero(d)))) continue;  // all above both
        V r = hn::And(rgba, byte), g = hn::And(hn::ShiftRight<8>(rgba), byte);
        V b = hn::And(hn::ShiftRight<16>(rgba), byte), lit = hn::And(lz, low16);
        const auto blend = [&](const Water &w, V alpha) {
            const V beta = hn::Sub(full, alpha);
            r = water_mix(hn::Set(d, w.red), r, alpha, beta);
            g = water_mix(hn::Set(d, w.green), g, alpha, beta);
            b = water_mix(hn::Set(d, w.blue), b, alpha, beta);
            lit = water_mix(hn::Set(d, w.light), lit, alpha, beta);
        };
        blend(one, a1);
        blend(two, a2);
        const V out_rgba = hn::Or(hn::Or(hn::And(rgba, alpha_byte), r),
                                  hn::Or(hn::ShiftLeft<8>(g), hn::ShiftLeft<16>(b)));
        store_words(d, out_rgba, hn::Or(hn::And(lz, height_half), lit), words + 2 * i);
    }
#endif
    for (; i < static_cast<size_t>(n); ++i) {
        relvane::water_pixel(one, row[i]);
        relvane::water_pixel(two, row[i]);
    }
}

// The light halves of the second words, as 32-bit words in memory order.
RELVANE_FAST_KERNEL(view_relight) {
    auto *words = reinterpret_cast<uint32_t *>(row);
    size_t i = 0;
    const hn::ScalableTag<uint32_t> d;
    const size_t lanes = hn::Lanes(d);
    if (lanes >= 2) {  // even and odd lanes: colour and light words
        const auto keep = hn::OddEven(hn::Set(d, 0xFFFF0000u), hn::Set(d, 0xFFFFFFFFu));
        const auto set = hn::OddEven(hn::Set(d, uint32_t{light}), hn::Zero(d));
        for (; i + lanes <= 2 * static_cast<size_t>(n); i += lanes)
            hn::StoreU(hn::Or(hn::And(hn::LoadU(d, words + i), keep), set), d, words + i);
    }
    for (size_t k = i / 2; k < static_cast<size_t>(n); ++k) row[k].light = light;
}

// ---- whole surfaces, for the per-target tests ------------------------------

RELVANE_FAST_KERNEL(shade_slopes) {
    if (!vector_slopes_fit(rise, floor)) return false;
    const int32_t w = surface->width, h = surface->height;
    for (int32_t y = 0; y < h - 1; ++y) {
        rv_Pixel *row = surface_row(surface, y);
        view_slopes(row, row, surface_row(surface, y + 1), w - 1, static_cast<int32_t>(rise),
                   static_cast<int32_t>(floor));
    }
    return true;
}

// The shadow lines are indexed by diagonal: pixel (x, y) continues the line
// of (x - 1, y - 1), and a diagonal starts from its first pixel's height.
RELVANE_FAST_KERNEL(shade_shadows) {
    const int32_t w = surface->width, h = surface->height;
    if (fall > 0 || fall < INT32_MIN) return false;
    if (fall <= -65536 || w < 1 || h < 1) return true;  // every line falls below every height at once
    std::vector<int32_t> lines(static_cast<size_t>(w) + static_cast<size_t>(h) - 1);
    for (int32_t y = 0; y < h; ++y) {
        rv_Pixel *row = surface_row(surface, y);
        int32_t *line = lines.data() + (h - 1 - y);
        if (y == 0)
            for (int32_t x = 0; x < w; ++x) line[x] = row[x].z;
        else
            line[0] = row[0].z;
        view_shadows(row, line, w, static_cast<int32_t>(fall));
    }
    return true;
}

RELVANE_FAST_KERNEL(apply_water) {
    const Water one = water_values(*water, depth);
    for_each_area_row(surface, rect, [&one](rv_Pixel *row, int32_t n) { view_water(row, n, one); });
    return true;
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(view_slopes)
RELVANE_FAST_EXPORT(view_shadows)
RELVANE_FAST_EXPORT(view_water)
RELVANE_FAST_EXPORT(view_waters)
RELVANE_FAST_EXPORT(view_relight)
RELVANE_FAST_EXPORT(shade_slopes)
RELVANE_FAST_EXPORT(shade_shadows)
RELVANE_FAST_EXPORT(apply_water)

}  // namespace relvane::fast
#endif
