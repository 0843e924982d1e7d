// Bulk draws, a vector of lanes at a time. Generator A is a plain linear
// congruential step, so the state k steps ahead is an affine function of the
// current one and every lane starts from one state. Generator B's lanes
// assume its usual step 16807 b - 1; a block that meets one of its two
// unusual states is drawn one by one instead. Each quotient by the range's
// divisor is a single-precision estimate put right by one product.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/random_bulk_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "random_bulk.h"
#include "random_draw.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "random_draw-inl.h"

namespace {

#if HWY_TARGET != HWY_SCALAR
using D = hn::ScalableTag<uint32_t>;
using V = hn::Vec<D>;

// n / divisor in every lane, for a divisor of a nonempty range (16383 <=
// divisor <= 2^31 - 1), by 32-bit lane products only (64-bit ones cost
// several instructions on some targets). scale is 2 (1 - 2^-21) / divisor
// rounded to single precision; the estimate (n >> 1) * scale is then below
// n / divisor (the three roundings and the halving stay within the 2^-21)
// and above it less 0.19 (n / divisor < 2^18.01). Adding 2^23 - 1/2 rounds
// the estimate less a half to an integer held in the low mantissa bits (no
// conversion, whose overflow handling costs several instructions): the
// quotient or one less, and n - q divisor, in 0 .. 2 divisor - 1, fits 32
// bits and says which.
HWY_INLINE V quotients(V n, V divisor, hn::Vec<hn::Rebind<float, D>> scale) {
    const D d;
    const hn::RebindToSigned<D> di;
    const hn::Rebind<float, D> df;
    const auto half = ConvertTo(df, BitCast(di, ShiftRight<1>(n)));  // n >> 1 < 2^31: a signed value
    const auto rounded = Add(Mul(half, scale), Set(df, 8388607.5f));  // 2^23 - 1/2 + estimate, below 2^24
    const V q = Sub(BitCast(d, rounded), BitCast(d, Set(df, 8388608.0f)));  // wraps to -1 below 2^23
    const V rest = Sub(n, Mul(q, divisor));
    return Sub(q, VecFromMask(d, Gt(rest, Sub(divisor, Set(d, 1)))));
}

// Whole blocks of Lanes(d) draws; returns how many draws it made. Lane k of
// a block holds the states k + 1 steps after the block's start, and each
// block steps a whole block on from the last. A block holding a state of B
// that does not take the usual step is drawn one by one from the state
// before it, and so is the block after it.
size_t blocks(rv_Context *c, int32_t a, ExactDivisor e, int32_t *out, size_t n) {
    const D d;
    const hn::RebindToSigned<D> di;
    const size_t lanes = Lanes(d);
    // The steps taken k + 1 times, lane k.
    uint32_t ma[MaxLanes(d)], ca[MaxLanes(d)], mb[MaxLanes(d)], cb[MaxLanes(d)];
    Affine pa = kStepA, pb = kUsualStepB;
    for (size_t k = 0; k < lanes; k++) {
        ma[k] = pa.m, ca[k] = pa.c, mb[k] = pb.m, cb[k] = pb.c;
        pa = then(pa, kStepA);
        pb = then(pb, kUsualStepB);
    }
    const V lane_ma = LoadU(d, ma), lane_ca = LoadU(d, ca), lane_mb = LoadU(d, mb), lane_cb = LoadU(d, cb);
    const V block_ma = Set(d, ma[lanes - 1]), block_ca = Set(d, ca[lanes - 1]);
    const V block_mb = Set(d, mb[lanes - 1]), block_cb = Set(d, cb[lanes - 1]);
    // (an empty range has both weights 0, whatever its quotients)
    const uint32_t divisor = random_divisor(static_cast<uint32_t>(2 * a));
    const V vdivisor = Set(d, divisor);
    const auto scale = Set(hn::Rebind<float, D>(),
                           divisor == 0 ? 0.0f : static_cast<float>(2.0 * (1.0 - 0x1p-21) / divisor));
    const uint32_t weight = a == 0 ? 0 : random_weight(c->random_mix);
    const V wa = Set(d, weight), wb = Set(d, a == 0 ? 0 : 16383u - weight);
    const V unusual1 = Set(d, kUnusualB1), unusual2 = Set(d, kUnusualB2), va = Set(d, uint32_t(a));
    // The state before the block is the last lane of la, lb.
    V la = Set(d, c->random_a), lb = Set(d, c->random_b);
    V xa = affine_step(la, lane_ma, lane_ca), xb = affine_step(lb, lane_mb, lane_cb);
    bool after_unusual = unusual_b(c->random_b);
    size_t i = 0;
    for (; i + lanes <= n; i += lanes) {
        if (after_unusual || !AllFalse(d, Or(Eq(xb, unusual1), Eq(xb, unusual2)))) {
            c->random_a = ExtractLane(la, lanes - 1), c->random_b = ExtractLane(lb, lanes - 1);
            for (size_t k = 0; k < lanes; k++) out[i + k] = random_displacement(c, a, e);
            after_unusual = unusual_b(c->random_b);
            la = Set(d, c->random_a), lb = Set(d, c->random_b);
            xa = affine_step(la, lane_ma, lane_ca), xb = affine_step(lb, lane_mb, lane_cb);
            continue;
        }
        const V draw = blend_quotients(quotients(output_a(xa), vdivisor, scale), quotients(xb, vdivisor, scale), wa, wb);
        StoreU(BitCast(di, Sub(draw, va)), di, out + i);  // draw - a, as a signed value
        la = xa, lb = xb;
        xa = affine_step(xa, block_ma, block_ca), xb = affine_step(xb, block_mb, block_cb);
    }
    c->random_a = ExtractLane(la, lanes - 1), c->random_b = ExtractLane(lb, lanes - 1);
    return i;
}
#else
// One lane gains nothing over the plain draws.
size_t blocks(rv_Context *, int32_t, ExactDivisor, int32_t *, size_t) { return 0; }
#endif

}  // namespace

RELVANE_FAST_KERNEL(random_displacements) {
    const ExactDivisor e = exact_divisor(random_divisor(static_cast<uint32_t>(2 * a)));
    for (size_t i = blocks(c, a, e, out, n); i < n; i++) out[i] = random_displacement(c, a, e);
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(random_displacements)

}  // namespace relvane::fast
#endif
