// Fast path of rv_ShowLight for 3- and 4-byte screens: the false colours a vector
// of pixels at a time in 32-bit lanes.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "display/show_light_simd.cpp"
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

RELVANE_FAST_KERNEL(show_light) {
#if HWY_TARGET == HWY_SCALAR
    plain::show_light(surface, screen, l, value, first, last);  // the store needs whole 16-byte blocks
#else
    if (!vector_screen(l)) return plain::show_light(surface, screen, l, value, first, last);
    show_rows(surface, screen, l, first, last, [](const rv_Pixel *src, uint8_t *dst, int32_t w, const ScreenLayout &layout) {
        const ScalableTag<uint32_t> d;
        const auto *words = reinterpret_cast<const uint32_t *>(src);
        auto group = [d, words](size_t i) {
            const RebindToSigned<decltype(d)> di;
            const auto zero = Zero(di), c255 = Set(di, 255), c256 = Set(di, 256), c511 = Set(di, 511);
            const auto lz = ConcatOdd(d, LoadU(d, words + 2 * i + Lanes(d)), LoadU(d, words + 2 * i));
            const auto light = BitCast(di, And(lz, Set(d, 0xFFFFu)));
            const auto red = light_red(light, c256, zero, c255);
            const auto green = light_green(light, c255);
            const auto blue = light_blue(Gt(light, c511), c255);
            return BitCast(d, Or(red, Or(ShiftLeft<8>(green), ShiftLeft<16>(blue))));
        };
        auto one = [src](size_t i) {
            const FalseColour c = light_colour(src[i].light);
            return pack(c.r, c.g, c.b);
        };
        put_row<false>(d, dst, w, screen_order(layout), layout, group, one);
    });
#endif
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(show_light)

}  // namespace relvane::fast
#endif
