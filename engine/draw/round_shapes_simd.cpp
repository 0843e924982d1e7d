// Fast paths of the round shapes: the same rows, each row's records filled a
// vector of pixels at a time with the profiles of round_profile-inl.h, step
// for step in the same single and double precision. The hold to 0..65535 is
// done in floating point before the truncation, which gives the plain
// conversion's value and sends NaN to 0 as it does.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "draw/round_shapes_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "circle_scan.h"
#include "draw_fast.h"
#include "round_profile.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "round_profile-inl.h"

using D64 = hn::ScalableTag<uint64_t>;

// The record bytes a shape leaves alone: alpha and light.
constexpr uint64_t kKeep = 0x0000FFFFFF000000u;

// v held to 0..65535 (NaN to 0) and truncated, in 32-bit lanes.
template <class D, class V>
hn::Vec<hn::Rebind<uint32_t, D>> height(D d, V v) {
    const hn::Rebind<int32_t, D> di;
    const V zero = hn::Zero(d), top = hn::Set(d, 65535);
    v = hn::IfThenElse(hn::Gt(v, zero), v, zero);  // false for NaN
    v = hn::IfThenElse(hn::Lt(v, top), v, top);
    if constexpr (sizeof(hn::TFromD<D>) == 8) {
        return hn::BitCast(hn::Rebind<uint32_t, D>(), hn::DemoteTo(di, v));  // truncates
    } else {
        return hn::BitCast(hn::Rebind<uint32_t, D>(), hn::ConvertTo(di, v));  // truncates
    }
}

// The profiles: the heights at distances d (lanes of tag DF), and the plain
// profile for the tails. The single-precision ones take whole vectors of
// floats; the paraboloid as many as a vector holds doubles.
struct Cone {
    using DF = hn::ScalableTag<float>;
    ConeProfile p;
    hn::Vec<hn::Rebind<uint32_t, DF>> operator()(hn::Vec<DF> d) const {
        const DF df;
        return height(df, cone_height(d, hn::Set(df, p.top), hn::Set(df, p.h), hn::Set(df, p.r)));
    }
};

struct Dome {
    using DF = hn::ScalableTag<float>;
    DomeProfile p;
    hn::Vec<hn::Rebind<uint32_t, DF>> operator()(hn::Vec<DF> d) const {
        const DF df;
        return height(df, dome_height(d, hn::Set(df, p.k), hn::Set(df, p.r2), hn::Set(df, p.zb)));
    }
};

#if HWY_HAVE_FLOAT64
struct Paraboloid {
    using DD = hn::ScalableTag<double>;
    using DF = hn::Rebind<float, DD>;
    ParaboloidProfile p;
    hn::Vec<hn::Rebind<uint32_t, DF>> operator()(hn::Vec<DF> d) const {
        const DF df;
        const DD dd;
        const auto t = hn::PromoteTo(dd, paraboloid_fall(d, hn::Set(df, p.r), hn::Set(df, p.h)));
        return height(dd, paraboloid_height(t, hn::Set(dd, 256.0), hn::Set(dd, p.zb)));
    }
};
#endif

uint64_t colour_bits(const rv_Pixel *m) {
    return uint64_t{m->red} | uint64_t{m->green} << 8 | uint64_t{m->blue} << 16;
}

// One row: colour bits rgb and z = the profile at distance d into n records,
// d the distance of pixel x0 + i from the centre. Words 2i and 2i + 1 of the
// span are record i's colour and alpha, and its light and z.
template <typename Shape>
void fill_row(uint64_t *span, int32_t x0, int32_t count, float cx, float dy2, uint64_t rgb,
              const Shape &shape) {
    using DF = typename Shape::DF;
    const DF df;
    const hn::Rebind<int32_t, DF> di;
    const hn::Rebind<uint32_t, DF> du;
    const auto alpha_byte = hn::Set(du, 0xFF000000u), low16 = hn::Set(du, 0xFFFFu);
    const auto colour = hn::Set(du, static_cast<uint32_t>(rgb));
    const auto centre = hn::Set(df, cx), row = hn::Set(df, dy2);
    auto *words = reinterpret_cast<uint32_t *>(span);
    const size_t lanes = hn::Lanes(df), n = count > 0 ? static_cast<size_t>(count) : 0;
    const auto columns = hn::Iota(di, x0);  // built once: Iota goes through memory
    const auto group = [&](size_t i) {
        const auto x = hn::ConvertTo(df, hn::Add(columns, hn::Set(di, static_cast<int32_t>(i))));
        const auto z = shape(centre_distance(hn::Sub(x, centre), row));
        hn::Vec<decltype(du)> lo, hi;
        hn::LoadInterleaved2(du, words + 2 * i, lo, hi);
        hn::StoreInterleaved2(hn::Or(hn::And(lo, alpha_byte), colour),
                              hn::Or(hn::And(hi, low16), hn::ShiftLeft<16>(z)), du, words + 2 * i);
    };
    size_t i = 0;
    for (; i + lanes <= n; i += lanes) group(i);
    // A record written twice gets the same bits: the last group may overlap.
    if (i < n && n >= lanes) {
        group(n - lanes);
        i = n;
    }
    for (; i < n; ++i) {
        const float dist = relvane::plain::centre_distance(static_cast<float>(x0 + static_cast<int32_t>(i)) - cx, dy2);
        span[i] = (span[i] & kKeep) | rgb | uint64_t{shape.p(dist)} << 48;
    }
}

// A flat row: the same colour and z bits into n records.
void flat_row(uint64_t *span, int32_t count, uint64_t bits) {
    const D64 d;
    const auto keep = hn::Set(d, kKeep), v = hn::Set(d, bits);
    const size_t lanes = hn::Lanes(d), n = count > 0 ? static_cast<size_t>(count) : 0;
    size_t i = 0;
    for (; i + lanes <= n; i += lanes) hn::StoreU(hn::Or(hn::And(hn::LoadU(d, span + i), keep), v), d, span + i);
    for (; i < n; ++i) span[i] = (span[i] & kKeep) | bits;
}

// The circle's rows, each filled by row_fn(span words, run, dy2).
template <typename RowFn>
void draw(rv_Pipe *pipe, rv_Surface *surface, float cx, float cy, float r, const RowFn &row_fn) {
    circle_rows(pipe, surface, cx, cy, r, [&](rv_Pixel *span, Run run, float dy2) {
        row_fn(reinterpret_cast<uint64_t *>(span), run, dy2);
    });
}

template <typename Shape>
void draw_round(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
                float r, const Shape &shape) {
    const uint64_t rgb = colour_bits(material);
    draw(pipe, surface, cx, cy, r, [&](uint64_t *span, Run run, float dy2) {
        fill_row(span, run.x0, run.count, cx, dy2, rgb, shape);
    });
}

RELVANE_FAST_KERNEL(draw_disc) {
    const uint64_t bits = colour_bits(material) | uint64_t{material->z} << 48;
    draw(pipe, surface, cx, cy, r, [&](uint64_t *span, Run run, float) { flat_row(span, run.count, bits); });
}

RELVANE_FAST_KERNEL(draw_cone) {
    draw_round(pipe, surface, material, cx, cy, r, Cone{ConeProfile::of(material->z, r, h)});
}

RELVANE_FAST_KERNEL(draw_dome) {
    draw_round(pipe, surface, material, cx, cy, r, Dome{DomeProfile::of(material->z, r, h)});
}

// Targets without double lanes (WebAssembly's) leave the paraboloid to the
// plain code.
RELVANE_FAST_KERNEL(draw_paraboloid) {
#if HWY_HAVE_FLOAT64
    draw_round(pipe, surface, material, cx, cy, r, Paraboloid{ParaboloidProfile::of(material->z, r, h)});
#else
    plain::draw_paraboloid(pipe, surface, material, cx, cy, r, h);
#endif
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(draw_disc)
RELVANE_FAST_EXPORT(draw_cone)
RELVANE_FAST_EXPORT(draw_dome)
RELVANE_FAST_EXPORT(draw_paraboloid)

}  // namespace relvane::fast
#endif
