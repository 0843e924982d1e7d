// Compact rows of the fractal fast path. At half spacing 1 and 2 a vector of
// grid points of each kind at a time is split or merged in vector lanes;
// coarser rows, and what is left of a row, are copied point by point.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "terrain/fractal_rows_simd.cpp"
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
// Pixels are pairs of 32-bit words, colour then light/height, z in the top
// half of the second; a grid point at half spacing h takes 2h words. A block
// is a vector of points of each kind, 2n points (n = Lanes) from 4h vectors
// of words.
int64_t block_points() { return static_cast<int64_t>(hn::Lanes(hn::ScalableTag<uint32_t>())); }

// Each block's light/height words of the grid points, taken out in order
// (every second word, and at h = 2 every second of those), then split into
// the even and the odd points.
template <int h>
void load_spaced(const rv_Pixel *p, int32_t *even, int32_t *odd, int64_t blocks) {
    const hn::ScalableTag<uint32_t> d;
    const hn::RebindToSigned<decltype(d)> di;
    const size_t n = hn::Lanes(d);
    const auto *w = reinterpret_cast<const uint32_t *>(p);
    for (int64_t b = 0; b < blocks; b++, w += 4 * h * n, even += n, odd += n) {
        // the light/height words of the k-th pair of word vectors
        const auto words = [&](size_t k) {
            return hn::ConcatOdd(d, hn::LoadU(d, w + (2 * k + 1) * n), hn::LoadU(d, w + 2 * k * n));
        };
        auto lo = words(0), hi = words(1);
        if constexpr (h == 2) {
            lo = hn::ConcatEven(d, hi, lo);
            hi = hn::ConcatEven(d, words(3), words(2));
        }
        hn::StoreU(hn::BitCast(di, hn::ShiftRight<16>(hn::ConcatEven(d, hi, lo))), di, even);
        hn::StoreU(hn::BitCast(di, hn::ShiftRight<16>(hn::ConcatOdd(d, hi, lo))), di, odd);
    }
}

// Writes z (in the lanes that mask selects) into the height halves of a
// vector of pixel words.
HWY_INLINE void merge_heights(uint32_t *w, hn::Vec<hn::ScalableTag<uint32_t>> z,
                              hn::Vec<hn::ScalableTag<uint32_t>> mask) {
    const hn::ScalableTag<uint32_t> d;
    hn::StoreU(hn::Or(hn::AndNot(mask, hn::LoadU(d, w)), hn::And(mask, hn::ShiftLeft<16>(z))), d, w);
}

// The reverse of load_spaced: writes z into the top half of each grid
// point's light/height word, every other bit stays. A block's 2n grid points
// in order are InterleaveLower and InterleaveUpper (which pair lanes within
// 128-bit blocks) of the even and the odd points reordered by `order`; each
// vector of words then takes its points into place with one lookup.
template <int h>
void store_spaced(rv_Pixel *p, const int32_t *even, const int32_t *odd, int64_t blocks) {
    const hn::ScalableTag<uint32_t> d;
    const hn::RebindToSigned<decltype(d)> di;
    using VU = hn::Vec<decltype(d)>;
    constexpr size_t kMax = hn::MaxLanes(d), kPeriod = 2 * h;  // words per grid point
    if constexpr (kMax == 4) {
        // One 128-bit block: the points go into place by fixed shuffles
        // (WebAssembly has no variable one and Highway emulates it lane by
        // lane there). Only lane 1 of each grid point's words is kept.
        const uint32_t keep[4] = {0u, 0xFFFF0000u, 0u, h == 1 ? 0xFFFF0000u : 0u};
        const VU height = hn::LoadU(d, keep);
        auto *w = reinterpret_cast<uint32_t *>(p);
        for (int64_t b = 0; b < blocks; b++, even += 4, odd += 4) {
            const VU e = hn::BitCast(d, hn::LoadU(di, even)), o = hn::BitCast(d, hn::LoadU(di, odd));
            if constexpr (h == 1) {
                // a pixel a point: lanes 1 and 3 of each vector of words
                const VU lo = hn::InterleaveLower(d, e, o), hi = hn::InterleaveUpper(d, e, o);
                merge_heights(w, hn::InterleaveLower(d, lo, lo), height);
                merge_heights(w + 4, hn::InterleaveUpper(d, lo, lo), height);
                merge_heights(w + 8, hn::InterleaveLower(d, hi, hi), height);
                merge_heights(w + 12, hn::InterleaveUpper(d, hi, hi), height);
                w += 16;
            } else {
                // a vector of words a point, even and odd in turn
                merge_heights(w, hn::Broadcast<0>(e), height);
                merge_heights(w + 4, hn::Broadcast<0>(o), height);
                merge_heights(w + 8, hn::Broadcast<1>(e), height);
                merge_heights(w + 12, hn::Broadcast<1>(o), height);
                merge_heights(w + 16, hn::Broadcast<2>(e), height);
                merge_heights(w + 20, hn::Broadcast<2>(o), height);
                merge_heights(w + 24, hn::Broadcast<3>(e), height);
                merge_heights(w + 28, hn::Broadcast<3>(o), height);
                w += 32;
            }
        }
        return;
    }
    const size_t n = hn::Lanes(d), per_vector = n / kPeriod;   // (n is a multiple of 4)
    uint32_t order[kMax], spread[kPeriod][kMax], mask[kMax];
    for (size_t j = 0; j < n; j++) {
        const size_t b = j / 4, r = j % 4;
        order[j] = static_cast<uint32_t>(r < 2 ? 2 * b + r : n / 2 + 2 * b + r - 2);
        for (size_t q = 0; q < kPeriod; q++) spread[q][j] = static_cast<uint32_t>(q * per_vector + j / kPeriod);
        mask[j] = j % kPeriod == 1 ? 0xFFFF0000u : 0u;
    }
    const VU height = hn::LoadU(d, mask);
    auto *w = reinterpret_cast<uint32_t *>(p);
    for (int64_t b = 0; b < blocks; b++, even += n, odd += n) {
        const VU e = hn::TableLookupLanes(hn::BitCast(d, hn::LoadU(di, even)), hn::SetTableIndices(d, order));
        const VU o = hn::TableLookupLanes(hn::BitCast(d, hn::LoadU(di, odd)), hn::SetTableIndices(d, order));
        const VU lo = hn::InterleaveLower(d, e, o), hi = hn::InterleaveUpper(d, e, o);
        for (size_t q = 0; q < kPeriod; q++, w += n)
            merge_heights(w, hn::TableLookupLanes(lo, hn::SetTableIndices(d, spread[q])), height);
        for (size_t q = 0; q < kPeriod; q++, w += n)
            merge_heights(w, hn::TableLookupLanes(hi, hn::SetTableIndices(d, spread[q])), height);
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

RELVANE_FAST_KERNEL(load_grid_row) {
    const int64_t done = vector_points(width, h);
#if HWY_TARGET != HWY_SCALAR
    if (done) (h == 1 ? load_spaced<1> : load_spaced<2>)(p, even, odd, done / block_points());
#endif
    load_points(p + 2 * h * done, 2 * h, even + done, even_lines(width - 1, h) - done);
    load_points(p + h + 2 * h * done, 2 * h, odd + done, odd_lines(width - 1, h) - done);
}

RELVANE_FAST_KERNEL(store_grid_row) {
    const int64_t done = vector_points(width, h);
#if HWY_TARGET != HWY_SCALAR
    if (done) (h == 1 ? store_spaced<1> : store_spaced<2>)(p, even, odd, done / block_points());
#endif
    store_points(p + 2 * h * done, 2 * h, even + done, even_lines(width - 1, h) - done);
    store_points(p + h + 2 * h * done, 2 * h, odd + done, odd_lines(width - 1, h) - done);
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(load_grid_row)
RELVANE_FAST_EXPORT(store_grid_row)

}  // namespace relvane::fast
#endif
