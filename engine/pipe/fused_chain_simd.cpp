// The test program's chain in one pass: height set, height test (above,
// below or none), colour fetch, constant alpha and light, colour write and
// height write. Every stage of it works on each pixel alone, so doing all of
// them pixel by pixel gives what the stages give one after another, as long
// as the three spans do not overlap. A failing pixel gets only its new work
// height, as the stages leave it; the others get the whole chain. The
// chains are named at the end by the flags that assemble them; the assembly
// picks one, once.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "pipe/fused_chain_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "stage_steps.h"
#include "stage_table.h"
#include "stages_fast.h"
#include "../core/fast_path.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "colour_blend-inl.h"

enum class Test { None, Above, Below };

template <Test T>
inline bool passes(const rv_Pixel &w, const rv_Pixel &d) {
    if constexpr (T == Test::Above) return at_or_above(w.z, d.z);
    if constexpr (T == Test::Below) return at_or_below(w.z, d.z);
    return true;
}

// One pixel through the chain's stages, for the tails: a failing pixel keeps
// only its new work height.
template <Test T>
inline void chain_pixel(rv_Pixel &w, const rv_Pixel &s, rv_Pixel &d, uint32_t alpha, uint32_t light) {
    new_height<combine_set>(w, s, d);
    if (!passes<T>(w, d)) return;
    fetch_colour(w, s);
    take_param<&rv_Pixel::alpha>(w, alpha);
    take_param<&rv_Pixel::light>(w, light);
    write_colour(w, d);
    write_height(w, d);
}

// A vector of pixels at a time, the colour words (sc, wc, dc: source, work,
// destination) and the light/height words (sz, wz, dz) split into two vectors.
// Spans that overlap or are out of word alignment take the chain's slots.
template <Test T>
void chain(rv_Pipe *pipe, const rv_Pixel *src_px, rv_Pixel *dst_px, int32_t count) {
    if (count <= 0) return;  // the stages write nothing either
    rv_Pixel *const work_px = pipe->work;
    const auto apart = [count](const rv_Pixel *p, const rv_Pixel *q) { return p + count <= q || q + count <= p; };
    if (!pixel_aligned(work_px) || !pixel_aligned(src_px) || !pixel_aligned(dst_px) ||
        !apart(work_px, src_px) || !apart(work_px, dst_px) || !apart(src_px, dst_px))
        return plain::chain_none(pipe, src_px, dst_px, count);
    auto *work = reinterpret_cast<uint32_t *>(work_px);
    const auto *src = reinterpret_cast<const uint32_t *>(src_px);
    auto *dst = reinterpret_cast<uint32_t *>(dst_px);
    const uint32_t alpha = static_cast<uint32_t>(pipe->alpha) & 0xFFu;
    const uint32_t light = static_cast<uint32_t>(pipe->light) & 0xFFFFu;

    const hn::ScalableTag<uint32_t> du;
    const hn::RebindToSigned<decltype(du)> di;
    using V = hn::Vec<decltype(du)>;
    const V alpha_v = hn::Set(du, alpha), light_v = hn::Set(du, light), v255 = hn::Set(du, 255u);
    const V low16 = hn::Set(du, 0xFFFFu), rgb_bytes = hn::Set(du, 0xFFFFFFu);
    const V alpha_byte = hn::Set(du, 0xFF000000u), height_half = hn::Set(du, 0xFFFF0000u);
    const V work_alpha = hn::Set(du, alpha << 24);
    const size_t lanes = hn::Lanes(du), n = static_cast<size_t>(count);
    size_t k = 0;
    for (; k + lanes <= n; k += lanes) {
        V sc, sz, wc, wz, dc, dz;
        hn::LoadInterleaved2(du, src + 2 * k, sc, sz);
        hn::LoadInterleaved2(du, work + 2 * k, wc, wz);
        hn::LoadInterleaved2(du, dst + 2 * k, dc, dz);
        const V z = hn::And(sz, height_half);
        // heights below 2^16: a signed comparison is the unsigned one
        const auto zn = hn::BitCast(di, hn::ShiftRight<16>(z));
        const auto zd = hn::BitCast(di, hn::ShiftRight<16>(dz));
        const auto pass = hn::RebindMask(du, T == Test::Below ? hn::Not(hn::Gt(zn, zd)) : hn::Not(hn::Gt(zd, zn)));
        // without a test every pixel takes the new values
        const auto pick = [&](V yes, V no) { return T == Test::None ? yes : hn::IfThenElse(pass, yes, no); };
        const V rgb = colour_blend_rgb(sc, dc, light_v, alpha_v, v255);
        hn::StoreInterleaved2(pick(hn::Or(hn::And(sc, rgb_bytes), work_alpha), wc),
                              hn::Or(z, pick(light_v, hn::And(wz, low16))), du, work + 2 * k);
        hn::StoreInterleaved2(pick(hn::Or(hn::And(dc, alpha_byte), rgb), dc),
                              pick(hn::Or(z, hn::And(dz, low16)), dz), du, dst + 2 * k);
    }
    for (; k < n; ++k) chain_pixel<T>(work_px[k], src_px[k], dst_px[k], alpha, light);
}

RELVANE_FAST_KERNEL(chain_none) { chain<Test::None>(p, s, d, n); }
RELVANE_FAST_KERNEL(chain_above) { chain<Test::Above>(p, s, d, n); }
RELVANE_FAST_KERNEL(chain_below) { chain<Test::Below>(p, s, d, n); }

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(chain_none)
RELVANE_FAST_EXPORT(chain_above)
RELVANE_FAST_EXPORT(chain_below)

}  // namespace relvane::fast
#endif
