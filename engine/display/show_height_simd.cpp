// Fast path of rv_ShowHeight for 3- and 4-byte screens: the ramp a vector of
// pixels at a time in 32-bit lanes.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "display/show_height_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "false_colours.h"
#include "show_rows_simd.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "false_colours-inl.h"
#include "screen_store-inl.h"

#if HWY_TARGET != HWY_SCALAR  // the store needs whole 16-byte blocks
// Keeps: scales outside 0..32768 can turn the wrapped product negative,
// which leaves the pixel; the others keep every product within 0..2^31.
template <bool Keeps>
void height_row(const rv_Pixel *src, uint8_t *dst, int32_t w, const ScreenLayout &l, int32_t scale) {
    const ScalableTag<uint32_t> d;
    const auto *words = reinterpret_cast<const uint32_t *>(src);
    auto group = [d, words, scale](size_t i) {
        const RebindToSigned<decltype(d)> di;
        const auto zero = Zero(di), c255 = Set(di, 255), c256 = Set(di, 256), c511 = Set(di, 511);
        const auto c512 = Set(di, 512), c768 = Set(di, 768), c1023 = Set(di, 1023);
        // the light/height words, in order
        const auto lz = ConcatOdd(d, LoadU(d, words + 2 * i + Lanes(d)), LoadU(d, words + 2 * i));
        // the 32-bit product wraps, as in the plain code
        const auto t = BitCast(di, Mul(ShiftRight<16>(lz), Set(d, static_cast<uint32_t>(scale))));
        const auto q = ShiftRight<12>(t);
        const auto at = Min(q, c1023);
        const auto red = height_red(at, c512, zero, c255);
        const auto green = height_green(Gt(q, c1023), at, c256, zero, c255);
        const auto blue = height_blue(at, c511, c768, zero);
        const auto rgb = Or(red, Or(ShiftLeft<8>(green), ShiftLeft<16>(blue)));
        // a negative product sets the top bit: the pixel is left
        return BitCast(d, Keeps ? Or(rgb, And(t, Set(di, INT32_MIN))) : rgb);
    };
    auto one = [src, scale](size_t i) {
        FalseColour c;
        const auto t = static_cast<int32_t>(static_cast<uint32_t>(src[i].z) * static_cast<uint32_t>(scale));
        return height_colour(t, c) ? pack(c.r, c.g, c.b) : 0x80000000u;
    };
    put_row<Keeps>(d, dst, w, screen_order(l), l, group, one);
}
#endif

RELVANE_FAST_KERNEL(show_height) {
#if HWY_TARGET == HWY_SCALAR
    plain::show_height(surface, screen, l, value, first, last);
#else
    if (!vector_screen(l)) return plain::show_height(surface, screen, l, value, first, last);
    const int32_t scale = value;
    const bool keeps = scale < 0 || scale > 32768;
    show_rows(surface, screen, l, first, last, [keeps, scale](const rv_Pixel *src, uint8_t *dst, int32_t w, const ScreenLayout &layout) {
        if (keeps)
            height_row<true>(src, dst, w, layout, scale);
        else
            height_row<false>(src, dst, w, layout, scale);
    });
#endif
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(show_height)

}  // namespace relvane::fast
#endif
