// The vector kernel of the view passes: the plain kernels' steps a vector of
// pixels at a time, every pass of a run at once (see view_rows.h).
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "shade/view_rows_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <array>
#include <cmath>
#include <utility>

#include "view_rows.h"
#include "../core/surface_rows.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "../draw/water_blend-inl.h"
#include "../core/word_pairs-inl.h"

#if HWY_TARGET != HWY_SCALAR  // the word order needs two lanes

using D = hn::ScalableTag<uint32_t>;
using V = hn::Vec<D>;

// The shadow lines are kept in column order; a split vector holds pixel k
// in lane 2k and pixel k + Lanes / 2 in lane 2k + 1 (core/word_pairs-inl.h).
// One 128-bit block takes fixed shuffles (a variable one is emulated lane by
// lane on some targets); wider vectors one table lookup.
HWY_INLINE V lines_to_split(D d, V v) {
    if constexpr (hn::MaxLanes(D()) == 4) {
        return hn::InterleaveLower(d, v, hn::CombineShiftRightBytes<8>(d, v, v));  // 0 2 1 3
    } else {
        const hn::RebindToSigned<D> di;
        const auto k = hn::ShiftRight<1>(hn::Iota(di, 0));
        const auto half = hn::Set(di, static_cast<int32_t>(hn::Lanes(d) / 2));
        const auto odd = hn::BitCast(di, hn::OddEven(hn::Set(d, ~0u), hn::Zero(d)));
        return hn::TableLookupLanes(v, hn::IndicesFromVec(d, hn::BitCast(d, hn::Add(k, hn::And(half, odd)))));
    }
}

HWY_INLINE V lines_from_split(D d, V v) {
    if constexpr (hn::MaxLanes(D()) == 4) {
        return hn::InterleaveLower(d, v, hn::CombineShiftRightBytes<8>(d, v, v));  // its own inverse
    } else {
        // pixel j < Lanes / 2 sits in lane 2j, pixel Lanes / 2 + j in lane 2j + 1
        const hn::RebindToSigned<D> di;
        const auto j = hn::Iota(di, 0);
        const auto half = hn::Set(di, static_cast<int32_t>(hn::Lanes(d) / 2));
        const auto upper = hn::VecFromMask(di, hn::Gt(j, hn::Sub(half, hn::Set(di, 1))));
        const auto lane = hn::Or(hn::ShiftLeft<1>(hn::Sub(j, hn::And(half, upper))), hn::And(upper, hn::Set(di, 1)));
        return hn::TableLookupLanes(v, hn::IndicesFromVec(d, hn::BitCast(d, lane)));
    }
}

// Light words in column order back among the colour words they came from
// (lo, hi: the words of the pixels in memory order).
HWY_INLINE void store_column_order(D d, V lz, V lo, V hi, PixelWord *p) {
    const auto lanes = hn::Lanes(d);
    if constexpr (hn::MaxLanes(D()) == 4) {
        hn::StoreU(hn::OddEven(hn::InterleaveLower(d, lz, lz), lo), d, p);
        hn::StoreU(hn::OddEven(hn::InterleaveUpper(d, lz, lz), hi), d, p + lanes);
    } else {
        // lanes 2k and 2k + 1 of the first vector take word k, those of the
        // second word k + lanes / 2; only the odd lanes are kept
        const hn::RebindToSigned<D> di;
        const auto pair = hn::ShiftRight<1>(hn::Iota(di, 0));
        const auto half = hn::Set(di, static_cast<int32_t>(lanes / 2));
        const auto first = hn::IndicesFromVec(d, hn::BitCast(d, pair));
        const auto second = hn::IndicesFromVec(d, hn::BitCast(d, hn::Add(pair, half)));
        hn::StoreU(hn::OddEven(hn::TableLookupLanes(lz, first), lo), d, p);
        hn::StoreU(hn::OddEven(hn::TableLookupLanes(lz, second), hi), d, p + lanes);
    }
}

// n / divisor, truncated, for n < 2^29 with at most 24 significant bits
// and 0 < divisor < 2^17: both are exact in single precision, so the
// rounded quotient lies between the true one's integer part t and t + 1,
// and adding 2^23 rounds it to one of the two, held in the low mantissa
// bits. One product says which.
HWY_INLINE V quotient_lanes(V n, V divisor) {
    const D d;
    const hn::RebindToSigned<D> di;
    const hn::RebindToFloat<D> df;
    const auto two23 = hn::Set(df, 8388608.0f);
    const auto as_float = [&](V v) { return hn::ConvertTo(df, hn::BitCast(di, v)); };
    const auto f = hn::Add(hn::Div(as_float(n), as_float(divisor)), two23);
    const auto q = hn::BitCast(di, hn::Sub(hn::BitCast(d, f), hn::BitCast(d, two23)));
    const auto over = hn::VecFromMask(di, hn::Gt(hn::Mul(q, hn::BitCast(di, divisor)), hn::BitCast(di, n)));
    return hn::BitCast(d, hn::Add(q, over));
}

// What a run does, fixed per kernel instance: each instance keeps only its
// own passes' constants in registers and tests nothing per pixel.
enum Passes : unsigned { kSlopes = 1, kShadows = 2, kWater = 4, kHaze = 8 };

// The runs' vector part: whole vectors of pixels from the start of the run,
// every pass on each while it is in registers; returns the pixels done (the
// slopes' pixels only while the slopes run). Each step is the plain
// kernel's in lanes: no fused multiply-add, each product and sum rounding
// as there. Every constant is a local: one reached through the record
// would be reloaded after every store.
template <size_t kPasses>
HWY_NOINLINE int32_t vector_run(PixelWord *out, const PixelWord *from, const PixelWord *below, int32_t *lines,
                                int32_t n, int32_t lit, const ViewSweep &s) {
    constexpr bool slopes = kPasses & kSlopes, shadows = kPasses & kShadows;
    constexpr int32_t waters = ((kPasses & kWater) ? 1 : 0) + ((kPasses & kHaze) ? 1 : 0);
    // With the shadows alone the lines' column order is kept throughout,
    // which costs fewer shuffles than the split order's.
    constexpr bool column_order = shadows && !slopes && waters == 0;
    const D d;
    const hn::RebindToSigned<D> di;
    const hn::RebindToFloat<D> df;
    const auto lanes = static_cast<int32_t>(hn::Lanes(d));
    const bool relight = s.relight, in_place = out == from;
    const int32_t end = slopes ? lit : n;
    const V low16 = hn::Set(d, 0xFFFFu), height_half = hn::Set(d, 0xFFFF0000u), full = hn::Set(d, 256u);
    const V byte = hn::Set(d, 0xFFu), alpha_byte = hn::Set(d, 0xFF000000u);
    const V new_light = hn::Set(d, uint32_t{s.light});
    const auto rise = hn::Set(di, s.rise), floor = hn::Set(di, s.floor < -1 ? -1 : s.floor);
    const auto c384 = hn::Set(di, 384);
    const auto half = hn::Set(df, 0.5f);
    const V fall = hn::Set(d, static_cast<uint32_t>(s.fall)), c8192 = hn::Set(d, 8192u), c128 = hn::Set(d, 128u);
    const auto one_i = hn::Set(di, 1);
    // the water's, then the haze's values (the one in force when alone)
    const Water &w1 = (kPasses & kWater) ? s.water_values : s.haze_values, &w2 = s.haze_values;
    const V red_blue = hn::Set(d, 0x00FF00FFu);
    const V red_blue1 = hn::Set(d, w1.red | w1.blue << 16), green1 = hn::Set(d, w1.green);
    const V light1 = hn::Set(d, w1.light), alpha1 = hn::Set(d, w1.alpha), level1 = hn::Set(d, w1.level);
    const V f1 = hn::Set(d, w1.f);
    const V red_blue2 = hn::Set(d, w2.red | w2.blue << 16), green2 = hn::Set(d, w2.green);
    const V light2 = hn::Set(d, w2.light), alpha2 = hn::Set(d, w2.alpha), level2 = hn::Set(d, w2.level);
    const V f2 = hn::Set(d, w2.f);
    const auto height = [](V words) { return hn::ShiftRight<16>(words); };
    // the light words of 2 * lanes pixels from p on
    const auto light_at = [d, lanes](const PixelWord *p) {
        return light_words(d, hn::LoadU(d, p), hn::LoadU(d, p + lanes));
    };
    int32_t x = 0;
    for (; x + lanes <= end; x += lanes) {
        const V lo = hn::LoadU(d, from + 2 * x), hi = hn::LoadU(d, from + 2 * x + lanes);
        const V lz = column_order ? hn::ConcatOdd(d, hi, lo) : light_words(d, lo, hi);
        V rgba = waters > 0 ? colour_words(d, lo, hi) : lo;
        const V z = height(lz);
        V light = relight ? new_light : hn::And(lz, low16);
        bool touched = relight || !in_place || slopes;

        // Slopes: every value stays exact in 32-bit lanes while |rise| < 2^23
        // (heights differ by less than 2^17, so the float conversions are
        // exact) and floor <= 384 (factor * light < 2^25; a negative factor
        // and a factor of 0 both leave light 0).
        if constexpr (slopes) {
            const auto b = hn::BitCast(di, height(light_at(from + 2 * x + 2)));
            const auto c = hn::BitCast(di, height(light_at(below + 2 * x)));
            const auto e = hn::BitCast(di, height(light_at(below + 2 * x + 2)));
            const auto u = hn::ConvertTo(df, hn::Sub(b, c));
            const auto v = hn::ConvertTo(df, hn::Sub(hn::Sub(e, hn::BitCast(di, z)), rise));
            // truncates toward zero, as the plain code's conversion
            const auto m = hn::ConvertTo(di, hn::Mul(half, hn::Sqrt(hn::Add(hn::Mul(v, v), hn::Mul(u, u)))));
            const auto factor = hn::Max(hn::Max(hn::Sub(c384, m), floor), hn::Zero(di));
            light = hn::Min(hn::ShiftRight<8>(hn::Mul(hn::BitCast(d, factor), light)), low16);
        }

        // Shadows: a line falls by fall per step and rests on any height
        // it meets; below it the light is the mean of a narrow and a wide
        // falloff with depth.
        if constexpr (shadows) {
            const auto in_order = [d](V v) { return column_order ? v : lines_to_split(d, v); };
            const auto back_in_order = [d](V v) { return column_order ? v : lines_from_split(d, v); };
            const auto line = hn::BitCast(di, hn::Add(in_order(hn::BitCast(d, hn::LoadU(di, lines + x))), fall));
            const auto zi = hn::BitCast(di, z);
            const auto shadowed = hn::Gt(line, zi);
            hn::StoreU(hn::BitCast(di, back_in_order(hn::BitCast(d, hn::IfThenElse(shadowed, line, zi)))), di,
                       lines + x);
            if (!hn::AllFalse(di, shadowed)) {
                const V depth = hn::BitCast(d, hn::IfThenElse(shadowed, hn::Sub(line, zi), one_i));
                // light * 8192 < 2^29 with 16 significant bits, depth + 8192 < 2^17
                const V wide = quotient_lanes(hn::ShiftLeft<13>(light), hn::Add(depth, c8192));
                const V narrow = quotient_lanes(hn::ShiftLeft<7>(light), hn::Add(depth, c128));
                const V dark = hn::ShiftRight<1>(hn::Add(wide, narrow));
                light = hn::IfThenElse(hn::RebindMask(d, shadowed), dark, light);
                touched = true;
            }
        }

        // Water, then haze: each a weight by depth below its level.
        if constexpr (waters > 0) {
            const V a1 = water_weight(z, hn::Gt(z, level1), level1, alpha1, f1, full);
            const V a2 = waters == 2 ? water_weight(z, hn::Gt(z, level2), level2, alpha2, f2, full) : hn::Zero(d);
            if (!hn::AllTrue(d, hn::Eq(hn::Or(a1, a2), hn::Zero(d)))) {
                // Red and blue side by side in 16-bit halves: with alpha +
                // beta = 256 each half's sum stays below 255 * 256, so the
                // halves never meet and one product does both.
                V rb = hn::And(rgba, red_blue), g = hn::And(hn::ShiftRight<8>(rgba), byte);
                const V beta1 = hn::Sub(full, a1);
                rb = hn::And(water_mix(red_blue1, rb, a1, beta1), red_blue);
                g = water_mix(green1, g, a1, beta1);
                light = water_mix(light1, light, a1, beta1);
                if constexpr (waters == 2) {
                    const V beta2 = hn::Sub(full, a2);
                    rb = hn::And(water_mix(red_blue2, rb, a2, beta2), red_blue);
                    g = water_mix(green2, g, a2, beta2);
                    light = water_mix(light2, light, a2, beta2);
                }
                rgba = hn::Or(hn::Or(hn::And(rgba, alpha_byte), rb), hn::ShiftLeft<8>(g));
                touched = true;
            }
        }
        if (!touched) continue;
        const V out_lz = hn::Or(hn::And(lz, height_half), light);
        if constexpr (waters > 0) {
            store_words(d, rgba, out_lz, out + 2 * x);
        } else if constexpr (column_order) {
            store_column_order(d, out_lz, lo, hi, out + 2 * x);
        } else {  // the colour words as they came
            store_light_words(d, out_lz, lo, hi, out + 2 * x);
        }
    }
    return x;
}

// The instances, by set of passes; each a function of its own (one body
// holding all sixteen would be slow to compile for the browser's engine).
template <size_t... kPasses>
constexpr auto instances(std::index_sequence<kPasses...>) {
    return std::array{&vector_run<kPasses>...};
}
constexpr auto kVectorRuns = instances(std::make_index_sequence<16>());

#endif

// Slopes outside the vector step's exact range take the plain kernel.
RELVANE_FAST_KERNEL(view_run) {
    if (s.slopes && !vector_slopes_fit(s.rise, s.floor)) return plain::view_run(out, from, below, lines, n, lit, s);
    int32_t x = 0;
#if HWY_TARGET != HWY_SCALAR
    const unsigned passes = (s.slopes && lit > 0 ? unsigned{kSlopes} : 0u) | (s.shadows ? unsigned{kShadows} : 0u) |
                            (s.water ? unsigned{kWater} : 0u) | (s.haze ? unsigned{kHaze} : 0u);
    x = kVectorRuns[passes](reinterpret_cast<PixelWord *>(out), reinterpret_cast<const PixelWord *>(from),
                            reinterpret_cast<const PixelWord *>(below), lines, n, lit, s);
#endif
    if (x < n)
        plain::view_run(out + x, from + x, below ? below + x : nullptr, lines ? lines + x : nullptr, n - x,
                       lit > x ? lit - x : 0, s);
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(view_run)

}  // namespace relvane::fast
#endif
