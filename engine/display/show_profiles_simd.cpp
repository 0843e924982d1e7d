// Fast path of rv_ShowProfiles for 3- and 4-byte screens: the graph's green a
// vector of pixels at a time in 32-bit lanes.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "display/show_profiles_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <algorithm>

#include "false_colours.h"
#include "show_rows_simd.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "false_colours-inl.h"
#include "screen_store-inl.h"

#if HWY_TARGET != HWY_SCALAR  // the store needs whole 16-byte blocks
// Row k of a band of n rows showing the surface row src.
void profile_row(const rv_Pixel *src, uint8_t *dst, int32_t w, const ScreenLayout &l, int32_t n, int32_t k) {
    const ScalableTag<uint32_t> d;
    const auto *words = reinterpret_cast<const uint32_t *>(src);
    const uint32_t red_blue = pack(k == n - 1 ? 255 : 0, 0, k == n / 2 ? 255 : 0);
    auto group = [d, words, n, k, red_blue](size_t i) {
        const RebindToSigned<decltype(d)> di;
        const auto lz = ConcatOdd(d, LoadU(d, words + 2 * i + Lanes(d)), LoadU(d, words + 2 * i));
        const auto z = BitCast(di, ShiftRight<16>(lz));
        const auto green = profile_green(z, Set(di, n), Set(di, k), Set(di, 65535), Set(di, 255), Set(di, 256));
        return Or(Set(d, red_blue), BitCast(d, ShiftLeft<8>(green)));
    };
    auto one = [src, n, k, red_blue](size_t i) {
        return red_blue | static_cast<uint32_t>(relvane::profile_green(src[i].z, n, k)) << 8;
    };
    put_row<false>(d, dst, w, screen_order(l), l, group, one);
}
#endif

RELVANE_FAST_KERNEL(show_profiles) {
#if HWY_TARGET == HWY_SCALAR
    plain::show_profiles(surface, screen, l, value, first, last);
#else
    if (!vector_screen(l)) return plain::show_profiles(surface, screen, l, value, first, last);
    // as the plain code clamps it: n * 65535 fits 32 signed bits
    const int32_t n = std::clamp<int32_t>(value, 1, 32768);
    show_screen_rows(screen, l, first, last, [surface, n](int32_t y, uint8_t *dst, int32_t w, const ScreenLayout &layout) {
        const int32_t top = y / n * n;
        profile_row(surface_row(surface, top), dst, w, layout, n, y - top);
    });
#endif
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(show_profiles)

}  // namespace relvane::fast
#endif
