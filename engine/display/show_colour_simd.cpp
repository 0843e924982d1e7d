// Fast path of rv_ShowColour for 3- and 4-byte screens: a vector of pixels at a
// time, each channel lit in a 32-bit lane.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "display/show_colour_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "show_rows_simd.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "lit_colour-inl.h"
#include "screen_store-inl.h"

RELVANE_FAST_KERNEL(show_colour) {
#if HWY_TARGET == HWY_SCALAR
    plain::show_colour(surface, screen, l, value, first, last);  // the store needs whole 16-byte blocks
#else
    if (!vector_screen(l)) return plain::show_colour(surface, screen, l, value, first, last);
    show_rows(surface, screen, l, first, last, [](const rv_Pixel *src, uint8_t *dst, int32_t w, const ScreenLayout &layout) {
        const ScalableTag<uint32_t> d;
        const auto *words = reinterpret_cast<const uint32_t *>(src);
        auto group = [d, words](size_t i) {
            Vec<decltype(d)> rgba, lz;
            LoadInterleaved2(d, words + 2 * i, rgba, lz);
            return lit_colour_word(rgba, lz, Set(d, 0xFFu), Set(d, 0xFFFFu));
        };
        auto one = [src](size_t i) {
            const Rgb c = lit_colour(src[i]);
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

RELVANE_FAST_EXPORT(show_colour)

}  // namespace relvane::fast
#endif
