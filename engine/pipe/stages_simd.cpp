// Fast paths of the hot pipe stages. A pixel is one 64-bit word (red in the
// low byte, z in the top 16 bits), so a stage that moves fields is a masked
// merge of words, a vector of pixels at a time. The height tests find their
// sub-runs from bit masks of 64 pixels at a time.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "pipe/stages_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "stage_frame.h"
#include "stage_steps.h"
#include "stages_fast.h"
#include "../core/fast_path.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "colour_blend-inl.h"

constexpr uint64_t kRgb = 0x0000000000FFFFFFu;
constexpr uint64_t kAlpha = 0x00000000FF000000u;
constexpr uint64_t kLight = 0x0000FFFF00000000u;
constexpr uint64_t kZ = 0xFFFF000000000000u;

using D64 = hn::ScalableTag<uint64_t>;

uint64_t *bits(rv_Pixel *p) { return reinterpret_cast<uint64_t *>(p); }
const uint64_t *bits(const rv_Pixel *p) { return reinterpret_cast<const uint64_t *>(p); }

// to[k] takes from[k]'s bits under mask and keeps its others.
void merge_run(uint64_t *to, const uint64_t *from, int32_t count, uint64_t mask) {
    const D64 d;
    const auto m = hn::Set(d, mask);
    const size_t lanes = hn::Lanes(d), n = count > 0 ? static_cast<size_t>(count) : 0;
    size_t k = 0;
    for (; k + lanes <= n; k += lanes)
        // (a bit select: IfVecThenElse wants whole-lane masks on some targets)
        hn::StoreU(hn::Or(hn::And(hn::LoadU(d, from + k), m), hn::AndNot(m, hn::LoadU(d, to + k))), d, to + k);
    for (; k < n; ++k) to[k] = (to[k] & ~mask) | (from[k] & mask);
}

// to[k] takes value under mask and keeps its other bits.
void set_run(uint64_t *to, int32_t count, uint64_t mask, uint64_t value) {
    const D64 d;
    const auto keep = hn::Set(d, ~mask), v = hn::Set(d, value);
    const size_t lanes = hn::Lanes(d), n = count > 0 ? static_cast<size_t>(count) : 0;
    size_t k = 0;
    for (; k + lanes <= n; k += lanes) hn::StoreU(hn::Or(hn::And(hn::LoadU(d, to + k), keep), v), d, to + k);
    for (; k < n; ++k) to[k] = (to[k] & ~mask) | value;
}

// Words 2k and 2k + 1 of a span are pixel k's colour and alpha, and its
// light and z; the colour words of work and dst are split from the others.
void colour_write_run(const rv_Pixel *work_px, rv_Pixel *dst_px, int32_t count) {
    const auto *work = reinterpret_cast<const uint32_t *>(work_px);
    auto *dst = reinterpret_cast<uint32_t *>(dst_px);
    const hn::ScalableTag<uint32_t> d;
    using V = hn::Vec<decltype(d)>;
    const V low16 = hn::Set(d, 0xFFFFu), v255 = hn::Set(d, 255u), alpha_byte = hn::Set(d, 0xFF000000u);
    const size_t lanes = hn::Lanes(d), n = count > 0 ? static_cast<size_t>(count) : 0;
    size_t k = 0;
    for (; k + lanes <= n; k += lanes) {
        V wc, wz, dc, dz;
        hn::LoadInterleaved2(d, work + 2 * k, wc, wz);
        hn::LoadInterleaved2(d, dst + 2 * k, dc, dz);
        const V rgb = colour_blend_rgb(wc, dc, hn::And(wz, low16), hn::ShiftRight<24>(wc), v255);
        hn::StoreInterleaved2(hn::Or(hn::And(dc, alpha_byte), rgb), dz, d, dst + 2 * k);
    }
    for (; k < n; ++k) relvane::write_colour(work_px[k], dst_px[k]);
}

// Bit k set when pixel k of the m (<= 64) pixels passes the height test.
template <bool Above>
uint64_t pass_bits(const rv_Pixel *work, const rv_Pixel *dst, int32_t m) {
    const D64 d;
    const hn::RebindToSigned<D64> di;
    const size_t lanes = hn::Lanes(d);
    const uint64_t lane_bits = lanes >= 64 ? ~uint64_t{0} : (uint64_t{1} << lanes) - 1;
    uint64_t pass = 0;
    size_t k = 0;
    for (; k + lanes <= static_cast<size_t>(m); k += lanes) {
        // heights below 2^16: a signed comparison is the unsigned one
        const auto w = hn::BitCast(di, hn::ShiftRight<48>(hn::LoadU(d, bits(work + k))));
        const auto z = hn::BitCast(di, hn::ShiftRight<48>(hn::LoadU(d, bits(dst + k))));
        const auto fail = Above ? hn::Gt(z, w) : hn::Gt(w, z);
        uint8_t mask[8] = {};
        hn::StoreMaskBits(di, hn::Not(fail), mask);
        uint64_t chunk = 0;
        for (size_t b = 0; b < (lanes + 7) / 8 && b < 8; ++b) chunk |= uint64_t{mask[b]} << (8 * b);
        pass |= (chunk & lane_bits) << k;
    }
    for (; k < static_cast<size_t>(m); ++k) {
        const uint32_t w = work[k].z, z = dst[k].z;
        pass |= uint64_t{Above ? w >= z : w <= z} << k;
    }
    return pass;
}

bool overlap(const rv_Pixel *a, const rv_Pixel *b, int32_t n) { return a < b + n && b < a + n; }

// The height test: each maximal passing sub-run goes to the rest of the chain,
// left to right. A chunk's bits are taken before the sub-runs in it are
// handed on; that gives the plain scan's result because the later stages
// change only their own sub-run's pixels (work and dst must not overlap).
// Empty and negative runs, and overlapping spans, take the plain kernel.
template <bool Above>
void height_test(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    rv_Pixel *const work = pipe->work;
    if (count <= 0 || overlap(work, dst, count))
        return Above ? plain::stage_ZTestAbove(pipe, index, src, dst, count)
                     : plain::stage_ZTestBelow(pipe, index, src, dst, count);
    auto hand_on = [&](int32_t first, int32_t end) {
        pipe->work = work + first;
        relvane::call_next(pipe, index, src + first, dst + first, end - first);
    };
    int32_t start = -1;  // first pixel of the open sub-run, or -1
    for (int32_t base = 0; base < count; base += 64) {
        const int32_t m = count - base < 64 ? count - base : 64;
        const uint64_t pass = pass_bits<Above>(work + base, dst + base, m);
        const uint64_t fail = ~pass & (m == 64 ? ~uint64_t{0} : (uint64_t{1} << m) - 1);
        int32_t pos = 0;
        while (pos < m) {
            const uint64_t next = (start < 0 ? pass : fail) >> pos;
            if (!next) break;
            pos += static_cast<int32_t>(hwy::Num0BitsBelowLS1Bit_Nonzero64(next));
            if (start < 0) {
                start = base + pos;
            } else {
                hand_on(start, base + pos);
                start = -1;
            }
        }
    }
    if (start >= 0) hand_on(start, count);
    pipe->work = work;
}

// Word access needs 8-byte aligned spans; otherwise the plain stage runs.
bool aligned(const rv_Pipe *pipe, const rv_Pixel *src, const rv_Pixel *dst) {
    return pixel_aligned(pipe->work) && pixel_aligned(src) && pixel_aligned(dst);
}

// The frame of a stage: its pass over the run, then the rest of the chain;
// spans out of word alignment take the stage's plain kernel.
template <typename Pass>
void frame(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count,
           RELVANE_FAST_POINTER(stage_ZSet) plain_stage, Pass pass) {
    if (!aligned(pipe, src, dst)) return plain_stage(pipe, index, src, dst, count);
    pass();
    relvane::call_next(pipe, index, src, dst, count);
}

// Empty and negative runs take the plain kernel: the overlaps are measured
// from the count, which only a run with pixels has.
RELVANE_FAST_KERNEL(stage_ZSet) {
    if (n <= 0) return plain::stage_ZSet(p, i, s, d, n);
    frame(p, i, s, d, n, plain::stage_ZSet, [&] { merge_run(bits(p->work), bits(s), n, kZ); });
}

RELVANE_FAST_KERNEL(stage_ZTestAbove) { height_test<true>(p, i, s, d, n); }
RELVANE_FAST_KERNEL(stage_ZTestBelow) { height_test<false>(p, i, s, d, n); }

RELVANE_FAST_KERNEL(stage_ColourFetch) {
    frame(p, i, s, d, n, plain::stage_ColourFetch, [&] { merge_run(bits(p->work), bits(s), n, kRgb); });
}

RELVANE_FAST_KERNEL(stage_AlphaConst) {
    const uint64_t alpha = uint64_t{static_cast<uint8_t>(p->alpha)} << 24;
    frame(p, i, s, d, n, plain::stage_AlphaConst, [&] { set_run(bits(p->work), n, kAlpha, alpha); });
}

RELVANE_FAST_KERNEL(stage_LightConst) {
    const uint64_t light = uint64_t{static_cast<uint16_t>(p->light)} << 32;
    frame(p, i, s, d, n, plain::stage_LightConst, [&] { set_run(bits(p->work), n, kLight, light); });
}

// The vector pass reads a group of work pixels before writing the group's
// destination, so the two must not overlap.
RELVANE_FAST_KERNEL(stage_ColourWrite) {
    if (overlap(p->work, d, n)) return plain::stage_ColourWrite(p, i, s, d, n);
    frame(p, i, s, d, n, plain::stage_ColourWrite, [&] { colour_write_run(p->work, d, n); });
}

RELVANE_FAST_KERNEL(stage_ZWrite) {
    if (!aligned(p, s, d)) return plain::stage_ZWrite(p, i, s, d, n);
    merge_run(bits(d), bits(p->work), n, kZ);
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

// Each stage marked FAST in the list has its kernels exported to the table.
#define RELVANE_STAGE_EXPORT(Name, field, first, last, path) RELVANE_IF_##path(RELVANE_FAST_EXPORT(stage_##Name))
RV_PIPE_STAGE_LIST(RELVANE_STAGE_EXPORT)
#undef RELVANE_STAGE_EXPORT

}  // namespace relvane::fast
#endif
