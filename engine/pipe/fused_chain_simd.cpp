// The test program's chain in one pass: height set, height test (above,
// below or none), colour fetch, constant alpha and light, colour write and
// height write. Every stage of it works on each pixel alone, so doing all of
// them pixel by pixel gives what the stages give one after another, as long
// as the three spans do not overlap. A failing pixel gets only its new work
// height, as the stages leave it; the others get the whole chain. The
// assembly picks the chain from the table at the end, once.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "pipe/fused_chain_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "colour_blend.h"
#include "stages_fast.h"
#include "../core/fast_path.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "colour_blend-inl.h"

enum class Test { None, Above, Below };

template <Test T>
inline bool passes(uint32_t w, uint32_t d) {
    if constexpr (T == Test::Above) return w >= d;
    if constexpr (T == Test::Below) return w <= d;
    return true;
}

// Words 2k and 2k + 1 of a span are pixel k's colour and alpha, and its
// light and z. One pixel, for the tails.
template <Test T>
inline void chain_pixel(uint32_t *work, const uint32_t *src, uint32_t *dst, uint32_t a, uint32_t i) {
    const uint32_t s = src[0], z = src[1] & 0xFFFF0000u;
    const uint32_t d = dst[0], dz = dst[1];
    work[1] = z | (work[1] & 0xFFFFu);
    if (!passes<T>(z >> 16, dz >> 16)) return;
    const uint32_t r = relvane::plain::colour_blend<uint32_t>(s & 0xFF, d & 0xFF, i, a, 255);
    const uint32_t g = relvane::plain::colour_blend<uint32_t>((s >> 8) & 0xFF, (d >> 8) & 0xFF, i, a, 255);
    const uint32_t b = relvane::plain::colour_blend<uint32_t>((s >> 16) & 0xFF, (d >> 16) & 0xFF, i, a, 255);
    work[0] = (s & 0xFFFFFFu) | a << 24;
    work[1] = z | i;
    dst[0] = (d & 0xFF000000u) | r | g << 8 | b << 16;
    dst[1] = z | (dz & 0xFFFFu);
}

// A vector of pixels at a time, the colour words and the light/height words
// split into two vectors.
template <Test T>
bool chain(rv_Pipe *pipe, const rv_Pixel *src_px, rv_Pixel *dst_px, int32_t count) {
    if (count <= 0) return true;  // the stages write nothing either
    rv_Pixel *const work_px = pipe->work;
    const auto apart = [count](const rv_Pixel *p, const rv_Pixel *q) { return p + count <= q || q + count <= p; };
    if (!pixel_aligned(work_px) || !pixel_aligned(src_px) || !pixel_aligned(dst_px) ||
        !apart(work_px, src_px) || !apart(work_px, dst_px) || !apart(src_px, dst_px))
        return false;
    auto *work = reinterpret_cast<uint32_t *>(work_px);
    const auto *src = reinterpret_cast<const uint32_t *>(src_px);
    auto *dst = reinterpret_cast<uint32_t *>(dst_px);
    const uint32_t a = static_cast<uint32_t>(pipe->alpha) & 0xFFu;
    const uint32_t i = static_cast<uint32_t>(pipe->light) & 0xFFFFu;

    const hn::ScalableTag<uint32_t> d;
    const hn::RebindToSigned<decltype(d)> di;
    using V = hn::Vec<decltype(d)>;
    const V av = hn::Set(d, a), iv = hn::Set(d, i), v255 = hn::Set(d, 255u);
    const V byte = hn::Set(d, 0xFFu), low16 = hn::Set(d, 0xFFFFu), rgb_bytes = hn::Set(d, 0xFFFFFFu);
    const V alpha_byte = hn::Set(d, 0xFF000000u), height_half = hn::Set(d, 0xFFFF0000u);
    const V work_alpha = hn::Set(d, a << 24);
    const size_t lanes = hn::Lanes(d), n = static_cast<size_t>(count);
    size_t k = 0;
    for (; k + lanes <= n; k += lanes) {
        V s, sz, w, wl, dc, dz;
        hn::LoadInterleaved2(d, src + 2 * k, s, sz);
        hn::LoadInterleaved2(d, work + 2 * k, w, wl);
        hn::LoadInterleaved2(d, dst + 2 * k, dc, dz);
        const V z = hn::And(sz, height_half);
        // heights below 2^16: a signed comparison is the unsigned one
        const auto zn = hn::BitCast(di, hn::ShiftRight<16>(z));
        const auto zd = hn::BitCast(di, hn::ShiftRight<16>(dz));
        const auto pass = hn::RebindMask(d, T == Test::Below ? hn::Not(hn::Gt(zn, zd)) : hn::Not(hn::Gt(zd, zn)));
        // without a test every pixel takes the new values
        const auto pick = [&](V yes, V no) { return T == Test::None ? yes : hn::IfThenElse(pass, yes, no); };
        const V r = colour_blend(hn::And(s, byte), hn::And(dc, byte), iv, av, v255);
        const V g = colour_blend(hn::And(hn::ShiftRight<8>(s), byte), hn::And(hn::ShiftRight<8>(dc), byte), iv, av, v255);
        const V b = colour_blend(hn::And(hn::ShiftRight<16>(s), byte), hn::And(hn::ShiftRight<16>(dc), byte), iv, av, v255);
        const V rgb = hn::Or(r, hn::Or(hn::ShiftLeft<8>(g), hn::ShiftLeft<16>(b)));
        hn::StoreInterleaved2(pick(hn::Or(hn::And(s, rgb_bytes), work_alpha), w),
                              hn::Or(z, pick(iv, hn::And(wl, low16))), d, work + 2 * k);
        hn::StoreInterleaved2(pick(hn::Or(hn::And(dc, alpha_byte), rgb), dc),
                              pick(hn::Or(z, hn::And(dz, low16)), dz), d, dst + 2 * k);
    }
    for (; k < n; ++k) chain_pixel<T>(work + 2 * k, src + 2 * k, dst + 2 * k, a, i);
    return true;
}

RELVANE_FAST_KERNEL(chain_none) { return chain<Test::None>(p, s, d, n); }
RELVANE_FAST_KERNEL(chain_above) { return chain<Test::Above>(p, s, d, n); }
RELVANE_FAST_KERNEL(chain_below) { return chain<Test::Below>(p, s, d, n); }

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(chain_none)
RELVANE_FAST_EXPORT(chain_above)
RELVANE_FAST_EXPORT(chain_below)

namespace {

// The chains done in one pass, each with the exact slots it replaces.
const FusedChain kFusedChains[] = {
    {7,
     {rv_StageZSet, rv_StageZTestAbove, rv_StageColourFetch, rv_StageAlphaConst, rv_StageLightConst,
      rv_StageColourWrite, rv_StageZWrite},
     &Table::chain_above},
    {7,
     {rv_StageZSet, rv_StageZTestBelow, rv_StageColourFetch, rv_StageAlphaConst, rv_StageLightConst,
      rv_StageColourWrite, rv_StageZWrite},
     &Table::chain_below},
    {6,
     {rv_StageZSet, rv_StageColourFetch, rv_StageAlphaConst, rv_StageLightConst, rv_StageColourWrite,
      rv_StageZWrite},
     &Table::chain_none},
};

}  // namespace

const FusedChain *find_fused_chain(const rv_Pipe *pipe) {
    for (const FusedChain &chain : kFusedChains)
        if (holds(pipe, chain)) return &chain;
    return nullptr;
}

}  // namespace relvane::fast
#endif
