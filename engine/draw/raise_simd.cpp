// Fast path of rv_RaiseToLevel: a vector of pixels at a time, their
// light/height words apart from their colour words, so that every lane works
// a height. Groups that lie wholly above the level are not written.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "draw/raise_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "area_rows.h"
#include "draw_fast.h"
#include "raise_step.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "raise_step-inl.h"

// One row, a vector of pixels at a time: their colour words and their
// light/height words in two vectors, the colours stored back as they were.
// The constants are the row's own: vectors reached through a capture would
// be reloaded after every store.
void raise_row(rv_Pixel *row, int32_t n, int32_t level, int32_t factor) {
    const hn::ScalableTag<int32_t> d;
    const hn::RebindToUnsigned<decltype(d)> du;
    using V = hn::Vec<decltype(d)>;
    const V level_v = hn::Set(d, level), factor_v = hn::Set(d, factor);
    const V zero = hn::Zero(d), top = hn::Set(d, 65535), light = hn::Set(d, 0xFFFF);
    const size_t lanes = hn::Lanes(d);
    auto *words = reinterpret_cast<int32_t *>(row);
    size_t p = 0;
    // (a one-lane target leaves every pixel to the loop below)
    for (; lanes > 1 && p + lanes <= static_cast<size_t>(n); p += lanes) {
        V colour, lz;
        hn::LoadInterleaved2(d, words + 2 * p, colour, lz);
        // the height is the top half: a logical shift keeps it unsigned
        const V z = hn::BitCast(d, hn::ShiftRight<16>(hn::BitCast(du, lz)));
        const auto lower = hn::Not(hn::Gt(z, level_v));
        if (hn::AllFalse(d, lower)) continue;
        const V raised = raised_height(z, level_v, factor_v, zero, top);
        hn::StoreInterleaved2(colour, hn::IfThenElse(lower, hn::Or(hn::And(lz, light), hn::ShiftLeft<16>(raised)), lz),
                              d, words + 2 * p);
    }
    for (; p < static_cast<size_t>(n); ++p) {
        const int32_t z = row[p].z;
        if (z <= level) row[p].z = static_cast<uint16_t>(relvane::plain::raised_height<int32_t>(z, level, factor, 0, 65535));
    }
}

RELVANE_FAST_KERNEL(raise_to_level) {
    // (level - z) <= 65535, so the product fits 32 bits for |factor| < 32768.
    if (factor < -32767 || factor > 32767) return plain::raise_to_level(surface, rect, level, factor);
    const int32_t z = level->z;
    for_each_area_row(surface, rect, [z, factor](rv_Pixel *row, int32_t n) { raise_row(row, n, z, factor); });
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(raise_to_level)

}  // namespace relvane::fast
#endif
