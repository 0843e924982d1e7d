// Compact rows of the fractal fast path. At half spacing 1 and 2 a vector of
// grid points of each kind at a time is split or merged in vector lanes;
// coarser rows, and what is left of a row, are copied point by point.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/fractal_rows_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "fractal_rows.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

namespace {

void load_points(const rv_Pixel *p, int64_t stride, int32_t *out, int64_t n) {
    for (int64_t j = 0; j < n; j++) out[j] = p[j * stride].z;
}

void store_points(rv_Pixel *p, int64_t stride, const int32_t *v, int64_t n) {
    for (int64_t j = 0; j < n; j++) p[j * stride].z = static_cast<uint16_t>(v[j]);
}

#if HWY_TARGET != HWY_SCALAR
// Pixels are 64-bit lanes with z in their top 16 bits; a block is a vector
// of 32-bit points of each kind, from two vectors of pixels of each kind.
using D64 = hn::ScalableTag<uint64_t>;
using D32 = hn::Repartition<int32_t, D64>;
using V64 = hn::Vec<D64>;
using V32 = hn::Vec<D32>;

int64_t block_points() { return static_cast<int64_t>(hn::Lanes(D32())); }

// The z of two vectors of pixels, in order.
HWY_INLINE V32 heights(V64 lo, V64 hi) {
    const D32 d;
    return hn::ConcatEven(d, hn::BitCast(d, hn::ShiftRight<48>(hi)), hn::BitCast(d, hn::ShiftRight<48>(lo)));
}

// The pixels p with the z of the lower (upper) half of v.
HWY_INLINE V64 with_lower(V64 p, V32 v) {
    const hn::Half<D32> dh;
    const hn::Rebind<uint64_t, decltype(dh)> dw;
    const V64 z = hn::PromoteTo(dw, hn::BitCast(hn::RebindToUnsigned<decltype(dh)>(), hn::LowerHalf(dh, v)));
    return hn::Or(hn::And(p, hn::Set(D64(), 0x0000FFFFFFFFFFFFull)), hn::ShiftLeft<48>(z));
}

HWY_INLINE V64 with_upper(V64 p, V32 v) {
    const hn::Half<D32> dh;
    const hn::Rebind<uint64_t, decltype(dh)> dw;
    const V64 z = hn::PromoteTo(dw, hn::BitCast(hn::RebindToUnsigned<decltype(dh)>(), hn::UpperHalf(dh, v)));
    return hn::Or(hn::And(p, hn::Set(D64(), 0x0000FFFFFFFFFFFFull)), hn::ShiftLeft<48>(z));
}

// Half spacing 1: the even and the odd pixels are the grid points.
void load_pairs(const rv_Pixel *p, int32_t *even, int32_t *odd, int64_t blocks) {
    const D64 d64;
    const D32 d32;
    const size_t n = hn::Lanes(d32);
    const auto *w = reinterpret_cast<const uint64_t *>(p);
    for (int64_t b = 0; b < blocks; b++, w += 2 * n, even += n, odd += n) {
        V64 e0, o0, e1, o1;
        hn::LoadInterleaved2(d64, w, e0, o0);
        hn::LoadInterleaved2(d64, w + n, e1, o1);
        hn::StoreU(heights(e0, e1), d32, even);
        hn::StoreU(heights(o0, o1), d32, odd);
    }
}

// The reverse of load_pairs; every other field stays.
void store_pairs(rv_Pixel *p, const int32_t *even, const int32_t *odd, int64_t blocks) {
    const D64 d64;
    const D32 d32;
    const size_t n = hn::Lanes(d32);
    auto *w = reinterpret_cast<uint64_t *>(p);
    for (int64_t b = 0; b < blocks; b++, w += 2 * n, even += n, odd += n) {
        const V32 e = hn::LoadU(d32, even), o = hn::LoadU(d32, odd);
        V64 e0, o0, e1, o1;
        hn::LoadInterleaved2(d64, w, e0, o0);
        hn::LoadInterleaved2(d64, w + n, e1, o1);
        hn::StoreInterleaved2(with_lower(e0, e), with_lower(o0, o), d64, w);
        hn::StoreInterleaved2(with_upper(e1, e), with_upper(o1, o), d64, w + n);
    }
}

// Half spacing 2: of every four pixels the first is an even grid point and
// the third an odd one.
void load_quarters(const rv_Pixel *p, int32_t *even, int32_t *odd, int64_t blocks) {
    const D64 d64;
    const D32 d32;
    const size_t n = hn::Lanes(d32);
    const auto *w = reinterpret_cast<const uint64_t *>(p);
    for (int64_t b = 0; b < blocks; b++, w += 4 * n, even += n, odd += n) {
        V64 e0, x0, o0, y0, e1, x1, o1, y1;
        hn::LoadInterleaved4(d64, w, e0, x0, o0, y0);
        hn::LoadInterleaved4(d64, w + 2 * n, e1, x1, o1, y1);
        hn::StoreU(heights(e0, e1), d32, even);
        hn::StoreU(heights(o0, o1), d32, odd);
    }
}

void store_quarters(rv_Pixel *p, const int32_t *even, const int32_t *odd, int64_t blocks) {
    const D64 d64;
    const D32 d32;
    const size_t n = hn::Lanes(d32);
    auto *w = reinterpret_cast<uint64_t *>(p);
    for (int64_t b = 0; b < blocks; b++, w += 4 * n, even += n, odd += n) {
        const V32 e = hn::LoadU(d32, even), o = hn::LoadU(d32, odd);
        V64 e0, x0, o0, y0, e1, x1, o1, y1;
        hn::LoadInterleaved4(d64, w, e0, x0, o0, y0);
        hn::LoadInterleaved4(d64, w + 2 * n, e1, x1, o1, y1);
        hn::StoreInterleaved4(with_lower(e0, e), x0, with_lower(o0, o), y0, d64, w);
        hn::StoreInterleaved4(with_upper(e1, e), x1, with_upper(o1, o), y1, d64, w + 2 * n);
    }
}

// Grid points of each kind that the vector code does, in whole blocks inside
// the row.
int64_t vector_points(int64_t width, int64_t h) {
    const int64_t n = block_points();
    return h <= 2 ? n * (width / (2 * h * n)) : 0;
}
#else
int64_t vector_points(int64_t, int64_t) { return 0; }
#endif

}  // namespace

void load_grid_row(const rv_Pixel *p, int64_t width, int64_t h, int32_t *even, int32_t *odd) {
    const int64_t done = vector_points(width, h);
#if HWY_TARGET != HWY_SCALAR
    if (done) (h == 1 ? load_pairs : load_quarters)(p, even, odd, done / block_points());
#endif
    load_points(p + 2 * h * done, 2 * h, even + done, even_lines(width - 1, h) - done);
    load_points(p + h + 2 * h * done, 2 * h, odd + done, odd_lines(width - 1, h) - done);
}

void store_grid_row(rv_Pixel *p, int64_t width, int64_t h, const int32_t *even, const int32_t *odd) {
    const int64_t done = vector_points(width, h);
#if HWY_TARGET != HWY_SCALAR
    if (done) (h == 1 ? store_pairs : store_quarters)(p, even, odd, done / block_points());
#endif
    store_points(p + 2 * h * done, 2 * h, even + done, even_lines(width - 1, h) - done);
    store_points(p + h + 2 * h * done, 2 * h, odd + done, odd_lines(width - 1, h) - done);
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace relvane::fast {

HWY_EXPORT(load_grid_row);
HWY_EXPORT(store_grid_row);

void load_grid_row(const rv_Pixel *p, int64_t width, int64_t h, int32_t *even, int32_t *odd) {
    HWY_DYNAMIC_DISPATCH(load_grid_row)(p, width, h, even, odd);
}

void store_grid_row(rv_Pixel *p, int64_t width, int64_t h, const int32_t *even, const int32_t *odd) {
    HWY_DYNAMIC_DISPATCH(store_grid_row)(p, width, h, even, odd);
}

}  // namespace relvane::fast
#endif
