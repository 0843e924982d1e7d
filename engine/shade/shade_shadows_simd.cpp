// Fast path of rv_ShadeShadows. Instead of walking each diagonal to its
// end, it walks the surface row by row, carrying the shadow line of every
// diagonal from one row to the next: pixel (x, y) continues the diagonal
// of (x - 1, y - 1). Memory is read in order and a row's pixels, each on a
// diagonal of its own, vectorise. The two carried rows of shadow lines live
// in the context's work span.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "shade/shade_shadows_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "shade_fast.h"
#include "../core/surface_rows.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// n / d for 0 <= n < 2^29 and 0 < d < 2^17: the single-precision quotient is
// within one of the true one, and one correction step makes it exact.
inline int32_t quotient(int32_t n, int32_t d) {
    int32_t q = static_cast<int32_t>(static_cast<float>(n) / static_cast<float>(d));
    const int32_t r = n - q * d;
    q += (r >= d) - (r < 0);
    return q;
}

// One row after the first. prev holds the shadow lines left by row y - 1,
// cur receives those of row y. A falling line (fall <= 0) lights the first
// pixel of every diagonal, the one in column 0. Both quotients are formed
// for every pixel and the lit ones keep their light by mask, which keeps the
// loop free of branches.
void shadow_pixels(PixelWord *__restrict row, const int32_t *__restrict prev, int32_t *__restrict cur,
                   int32_t first, int32_t n, int32_t fall) {
    for (int32_t x = first; x < n; ++x) {
        const uint32_t word = row[2 * x + 1];
        const auto z = static_cast<int32_t>(word >> 16);
        const int32_t line = prev[x - 1] + fall;
        const int32_t lit = -static_cast<int32_t>(z >= line);  // all ones when lit
        cur[x] = (z & lit) | (line & ~lit);
        // Depth below the line, 1..65535 where it counts; the difference
        // wraps (unsigned) where a steep line lies far below.
        const auto depth = static_cast<int32_t>(static_cast<uint32_t>(line) - static_cast<uint32_t>(z));
        const int32_t e = (1 & lit) | (depth & ~lit);
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

// The same row a vector of pixels at a time, the shadow lines in column
// order. Groups that are wholly lit are not written.
void shadow_row(PixelWord *row, const int32_t *prev, int32_t *cur, int32_t n, int32_t fall) {
    cur[0] = static_cast<int32_t>(row[1] >> 16);
    int32_t x = 1;
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
        const V line = hn::Add(hn::LoadU(d, prev + x - 1), fall_v);
        const auto shadowed = hn::Gt(line, z);
        hn::StoreU(hn::IfThenElse(shadowed, line, z), d, cur + x);
        if (hn::AllFalse(d, shadowed)) continue;
        const V e = hn::IfThenElse(shadowed, hn::Sub(line, z), one);
        const V light = hn::And(lz, low16);
        // light * 8192 < 2^29 and e + 8192 < 2^17: quotient's range
        const V dark = hn::ShiftRight<1>(hn::Add(quotient_lanes(d, hn::ShiftLeft<13>(light), hn::Add(e, c8192)),
                                                 quotient_lanes(d, hn::ShiftLeft<7>(light), hn::Add(e, c128))));
        const V out_lz = hn::Or(hn::AndNot(low16, lz), hn::IfThenElse(shadowed, dark, light));
        if constexpr (hn::MaxLanes(d) == 4) {
            // One 128-bit block: interleaving a vector with itself pairs its
            // lanes as the lookups do, by fixed shuffles (WebAssembly has no
            // variable one and Highway emulates it lane by lane there).
            hn::StoreU(hn::OddEven(hn::InterleaveLower(d, out_lz, out_lz), lo), d, p);
            hn::StoreU(hn::OddEven(hn::InterleaveUpper(d, out_lz, out_lz), hi), d, p + lanes);
        } else {
            hn::StoreU(hn::OddEven(hn::TableLookupLanes(out_lz, first_half), lo), d, p);
            hn::StoreU(hn::OddEven(hn::TableLookupLanes(out_lz, second_half), hi), d, p + lanes);
        }
    }
#endif
    shadow_pixels(row, prev, cur, x, n, fall);
}

// fall: how far the shadow line drops per diagonal step. A rising line
// (fall > 0) can climb without bound and stays with the plain code, as does a
// surface wider than the context's work span.
bool shade_shadows(rv_Surface *surface, int64_t fall) {
    const int32_t w = surface->width, h = surface->height;
    if (fall > 0 || fall < INT32_MIN || w > surface->context->span_size) return false;
    auto *lines = reinterpret_cast<int32_t *>(surface->context->work_span);
    int32_t *prev = lines, *cur = lines + w;
    // Row 0 starts a diagonal in every column: all lit.
    const auto *top = reinterpret_cast<const PixelWord *>(surface_row(surface, 0));
    for (int32_t x = 0; x < w; ++x) prev[x] = static_cast<int32_t>(top[2 * x + 1] >> 16);
    for (int32_t y = 1; y < h; ++y) {
        shadow_row(reinterpret_cast<PixelWord *>(surface_row(surface, y)), prev, cur, w, static_cast<int32_t>(fall));
        int32_t *t = prev;
        prev = cur;
        cur = t;
    }
    return true;
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace relvane::fast {

HWY_EXPORT(shade_shadows);

bool shade_shadows(rv_Surface *surface, int64_t fall) {
    return HWY_DYNAMIC_DISPATCH(shade_shadows)(surface, fall);
}

}  // namespace relvane::fast
#endif
