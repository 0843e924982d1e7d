// Fast path of rv_ShowTilted for 3-byte screens (and 4-byte ones in the
// order its colours are worked out in, the page's canvas): the picture is
// drawn a band of columns at a time, one vector lane per column, every slice
// and then the sky, into a tile that stays in the cache (one tile row per
// screen row); the tile then goes to the screen. The slices walk up the
// surface a row apart, each row on a page of its own at larger sizes, so a
// band is several vectors wide: each row's wait and page walk then bring a
// run of whole cache lines. Columns past the last whole vector are drawn by
// the plain code.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "display/show_tilted_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>
#include <hwy/cache_control.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "display_fast.h"
#include "show_tilted.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "lit_colour-inl.h"
#include "tilted_mix-inl.h"

#if HWY_TARGET != HWY_SCALAR
namespace tilted {

using DU = ScalableTag<uint32_t>;
using DI = RebindToSigned<DU>;
using DB = Repartition<uint8_t, DU>;
using VU = Vec<DU>;
using VI = Vec<DI>;
using VB = Vec<DB>;

constexpr int32_t pixels_ahead = 16;  // surface rows fetched ahead
constexpr int32_t screen_ahead = 8;   // screen rows fetched ahead
#if HWY_TARGET == HWY_WASM
constexpr size_t band_columns = 64;  // columns per band, where the width allows (measured)
// WebAssembly has no prefetch: a load of a line asks for it instead, and as
// a lone load holds up the work behind it as long as a use would, the rows
// ahead are asked for a batch at a time, so that their waits overlap.
constexpr int32_t fetch_batch = 16;
constexpr int32_t min_run = 4;  // rows painted per slice at least (measured)
#else
// With prefetches, one vector a band with its state in registers is as
// fast or faster at the bench's sizes (measured).
constexpr size_t band_columns = 1;
constexpr int32_t fetch_batch = 1;
constexpr int32_t min_run = 6;
#endif

// What every band of one call shares.
struct Frame {
    const rv_Pixel *pixels;  // surface row 0
    ptrdiff_t pitch;         // pixels per surface row
    int32_t h, nr;
    uint32_t sine, cosine;
    uint8_t *screen;    // screen row 0
    ptrdiff_t stride;   // bytes per screen row
    int32_t *tops;      // the top buffer
    uint32_t *tile;     // h + min_run rows of the band's colours (spare rows below)
    uint32_t *edges;    // the band's edge colours (see paint_slices)
    alignas(16) uint8_t order[16];  // tile bytes to screen bytes, per 16-byte block
    alignas(64) int32_t pack[HWY_MAX_BYTES / 4];  // lanes holding screen bytes, to the front
    int32_t bytes;  // per screen pixel: 3, or 4 in the tile's own byte order
};

// Each channel byte of over mixed into under's with a weight, the low byte
// of each lane of weights: channels in 16-bit lanes, even bytes and odd.
HWY_INLINE VU mix(DU d, VU over, VU under, VU weights) {
    const Repartition<uint16_t, DU> dw;
    // the low byte of each 32-bit lane in both of its 16-bit halves, by
    // shifts (a byte table is emulated on some targets)
    const VU low_byte = And(weights, Set(d, 0xFFu));
    const auto weight = BitCast(dw, Or(low_byte, ShiftLeft<16>(low_byte)));
    const auto rest = Sub(Set(dw, uint16_t{255}), weight), low = Set(dw, uint16_t{0xFF});
    const auto o = BitCast(dw, over), u = BitCast(dw, under);
    const auto even = edge_mix(And(o, low), And(u, low), weight, rest);
    const auto odd = edge_mix(ShiftRight<8>(o), ShiftRight<8>(u), weight, rest);
    return BitCast(d, Or(even, ShiftLeft<8>(odd)));
}

#if !HWY_HAVE_SCALABLE
// The least value of each 16-bit half over the 32-bit lanes of key.
template <class D>
HWY_INLINE uint32_t least_halves(D d, VFromD<D> key) {
    if constexpr (MaxLanes(d) > 4) {
        const Half<D> dh;
        const Repartition<uint16_t, decltype(dh)> dw;
        return least_halves(dh, BitCast(dh, Min(BitCast(dw, LowerHalf(dh, key)), BitCast(dw, UpperHalf(dh, key)))));
    } else {
        const Repartition<uint16_t, D> dw;
        key = BitCast(d, Min(BitCast(dw, key), BitCast(dw, Shuffle1032(key))));
        key = BitCast(d, Min(BitCast(dw, key), BitCast(dw, Shuffle2301(key))));
        return GetLane(key);
    }
}
#endif

// The least `low` and the largest `high` over the lanes set (values
// 0..65535; at least one lane set).
HWY_INLINE void lane_range(DI di, Mask<DI> set, VI low, VI high, int32_t &least, int32_t &most) {
#if HWY_HAVE_SCALABLE
    least = GetLane(MinOfLanes(di, IfThenElse(set, low, Set(di, 0xFFFF))));
    most = GetLane(MaxOfLanes(di, IfThenElseZero(set, high)));
#else
    // Both minima in one pass: low in the bottom half, 65535 - high on top.
    const DU du;
    const VU key = Or(BitCast(du, low), ShiftLeft<16>(BitCast(du, Sub(Set(di, 0xFFFF), high))));
    const uint32_t minima = least_halves(du, IfThenElse(RebindMask(du, set), key, Set(du, ~0u)));
    least = static_cast<int32_t>(minima & 0xFFFF);
    most = 0xFFFF - static_cast<int32_t>(minima >> 16);
#endif
}

// Stores v in the lanes of row that m selects.
HWY_INLINE void store_lanes(DU d, VU v, Mask<DU> m, uint32_t *HWY_RESTRICT row) {
#if HWY_TARGET <= HWY_AVX3 || HWY_HAVE_SCALABLE
    BlendedStore(v, m, d, row);  // masked stores are single instructions here
#else
    Store(IfThenElse(m, v, Load(d, row)), d, row);
#endif
}

#if !HWY_HAVE_SCALABLE
// Stores the first n bytes of v: whole halves, down to 4 bytes.
template <size_t n, class D>
HWY_INLINE void store_front(D d, VFromD<D> v, uint8_t *HWY_RESTRICT dst) {
    constexpr size_t full = MaxLanes(d);
    if constexpr (n == 0) {
        (void)v, (void)dst;
    } else if constexpr (n >= full) {
        StoreU(v, d, dst);
    } else {
        const Half<D> dh;
        if constexpr (n >= full / 2) {
            StoreU(LowerHalf(dh, v), dh, dst);
            store_front<n - full / 2>(dh, UpperHalf(dh, v), dst + full / 2);
        } else {
            store_front<n>(dh, LowerHalf(dh, v), dst);
        }
    }
}
#endif

// Stores one tile row of colours as 3 * Lanes screen bytes: order puts each
// 16-byte block's four colours in screen channel order in its first 12
// bytes, pack moves those blocks' bytes together. With words, the screen's
// 4-byte pixels are in the tile's byte order and take the colours whole.
template <class Pack>
HWY_INLINE void put(DU d, VU colours, VB order, Pack pack, uint8_t *HWY_RESTRICT dst, bool words) {
    const DB db;
    if (words) {
        // each screen pixel's fourth byte stays as the plain code leaves it
        const VU fourth = Set(d, 0xFF000000u);
        const VU old = BitCast(d, LoadU(db, dst));
        StoreU(BitCast(db, Or(And(old, fourth), AndNot(fourth, colours))), db, dst);
        return;
    }
    VU bytes = BitCast(d, TableLookupBytes(BitCast(db, colours), order));
#if HWY_HAVE_SCALABLE
    bytes = TableLookupLanes(bytes, pack);
    BlendedStore(BitCast(db, bytes), FirstN(db, 3 * Lanes(d)), db, dst);
#else
    if constexpr (MaxLanes(d) > 4) bytes = TableLookupLanes(bytes, pack);
    else (void)pack;
    store_front<3 * MaxLanes(d)>(db, BitCast(db, bytes), dst);
#endif
}

// Asks for the line at p, which lies inside the surface.
HWY_INLINE void fetch(const uint8_t *p) {
#if HWY_TARGET == HWY_WASM
    (void)*reinterpret_cast<const volatile uint8_t *>(p);
#else
    hwy::Prefetch(p);
#endif
}

// Asks for the line at p + offset, which may lie past the screen, as
// prefetches never fault (and where there are none, does nothing).
HWY_INLINE void prefetch_at(const uint8_t *p, ptrdiff_t offset) {
    hwy::Prefetch(reinterpret_cast<const uint8_t *>(reinterpret_cast<uintptr_t>(p) + offset));
}

// Every slice of the band's n vectors of columns from x0 into the tile; the
// columns' tops go to the top buffer and their edge colours, what each
// column's top row holds, the underside of the next blend there, to
// f.edges, so no blend reads the tile. A band of one vector (kOne) keeps
// both in registers from row to row.
template <bool kOne>
HWY_INLINE void paint_slices(const Frame &f, int32_t x0, size_t n) {
    const DU du;
    const DI di;
    const size_t lanes = Lanes(du), row_len = (kOne ? 1 : n) * lanes;
    const int32_t h = f.h;
    const VI zero = Zero(di), one = Set(di, 1), two = Set(di, 2);
    const VI bottom = Set(di, (h - 1) * 256), last = Set(di, h - 1);  // rows above last are blended
    const VU cosine = Set(du, f.cosine), bias = Set(du, 0x80000000u), one_u = Set(du, 1u);
    VI one_tops = Set(di, h * 256);  // a one-vector band's state
    VU one_edge = Zero(du);
    for (size_t v = 0; v < row_len; v += lanes) {
        StoreU(one_tops, di, f.tops + x0 + v);
        Store(one_edge, du, f.edges + v);
    }
    // The slices run up the surface's rows, a stride the hardware does not
    // follow: the band's pixels some rows ahead are fetched in time (every
    // 63 bytes reaches each line they touch).
    const rv_Pixel *const pixels = f.pixels + x0;
    uint32_t offset = 0;  // j * S, wrapping
    for (int32_t j = 0; j <= f.nr; ++j, offset += f.sine) {
        if (j % fetch_batch == 0) {
            for (int32_t i = 0; i < fetch_batch; ++i) {
                const auto *next =
                    reinterpret_cast<const uint8_t *>(pixels + std::max(f.nr - j - pixels_ahead - i, 0) * f.pitch);
                for (size_t b = 0; b < row_len * sizeof(rv_Pixel); b += 63) fetch(next + b);
            }
        }
        const rv_Pixel *const row_pixels = pixels + (f.nr - j) * f.pitch;
        const VU offsets = Set(du, offset);
        for (size_t v = 0; v < row_len; v += lanes) {
            VU rgba, lz;
            LoadInterleaved2(du, reinterpret_cast<const uint32_t *>(row_pixels + v), rgba, lz);
            const VI tops = kOne ? one_tops : LoadU(di, f.tops + x0 + v);
            // c * z <= 65536 * 65535 and the rise is below 2^24, as in the plain code.
            const VU rise = ShiftRight<8>(Add(offsets, ShiftRight<8>(Mul(ShiftRight<16>(lz), cosine))));
            const VI raw = Sub(bottom, BitCast(di, rise));
            const auto visible = Gt(tops, raw);
            if (AllFalse(di, visible)) continue;
            const VU edge = kOne ? one_edge : Load(du, f.edges + v);
            const VU colour = lit_colour_word(rgba, lz, Set(du, 0xFFu), Set(du, 0xFFFFu));
            const VI top = Max(raw, zero);
            const VI from = ShiftRight<8>(top), to = ShiftRight<8>(tops);
            const VU blended = mix(du, colour, edge, BitCast(du, tops));
            const auto blend = And(visible, Gt(last, to));
            // A drawing lane paints colour on rows from..to-1 and the blend on
            // row to if it blends. Row y's count k = y - from + 2^31, wrapping,
            // is as a signed value below paint_end = to - from + 2^31 on the
            // colour rows, below store_end on the rows stored: one compare per
            // bound, and rows above from wrap to large values.
            const VU paint_end = Add(BitCast(du, Sub(to, from)), bias);
            const VU store_end = IfThenElse(RebindMask(du, visible),
                                            Add(paint_end, IfThenElseZero(RebindMask(du, blend), one_u)), bias);
            const VI colour_end = BitCast(di, paint_end), end = BitCast(di, store_end);
            int32_t y0, y1;
            lane_range(di, visible, from, to, y0, y1);
            // At least a fixed run of rows, two at a time, so the loop's end is
            // rarely guessed wrong (the count varies from slice to slice); the
            // tile has spare rows below for it.
            y1 = std::max(y1, y0 + min_run - 1);
            VI k = BitCast(di, Sub(Set(du, static_cast<uint32_t>(y0) + 0x80000000u), BitCast(du, from)));
            for (int32_t y = y0; y <= y1; y += 2, k = Add(k, two)) {
                uint32_t *row = f.tile + static_cast<size_t>(y) * row_len + v;
                store_lanes(du, IfThenElse(RebindMask(du, Gt(colour_end, k)), colour, blended),
                            RebindMask(du, Gt(end, k)), row);
                const VI below = Add(k, one);
                store_lanes(du, IfThenElse(RebindMask(du, Gt(colour_end, below)), colour, blended),
                            RebindMask(du, Gt(end, below)), row + row_len);
            }
            const VU new_edge = IfThenElse(RebindMask(du, And(visible, Gt(to, from))), colour,
                                           IfThenElse(RebindMask(du, blend), blended, edge));
            const VI new_tops = IfThenElse(visible, top, tops);
            if constexpr (kOne) {
                one_edge = new_edge;
                one_tops = new_tops;
            } else {
                Store(new_edge, du, f.edges + v);
                StoreU(new_tops, di, f.tops + x0 + v);
            }
        }
    }
    if constexpr (kOne) {
        Store(one_edge, du, f.edges);
        StoreU(one_tops, di, f.tops + x0);
    }
}

HWY_INLINE VU sky_colour() {
    return Set(DU(), uint32_t{tilted_sky.r} | uint32_t{tilted_sky.g} << 8 | uint32_t{tilted_sky.b} << 16);
}

// Row y's colours over what the slices painted there (y in every lane): the
// sky above each column's top row `to`, and sky_edge, the sky blended into
// the column's edge colour, on a top row that blends.
HWY_INLINE VU sky_over(const Frame &f, VU painted, VI y, VI to, VU sky_edge) {
    const DU du;
    const auto blend = Gt(Set(DI(), f.h - 1), to);
    const VU c = IfThenElse(RebindMask(du, Gt(to, y)), sky_colour(), painted);
    return IfThenElse(RebindMask(du, And(blend, Eq(to, y))), sky_edge, c);
}

// The rows from 0 that hold any sky.
HWY_INLINE int32_t sky_rows(const Frame &f, VI to) { return std::min(GetLane(MaxOfLanes(DI(), to)) + 1, f.h); }

// The sky into the tile of a band of several vectors.
HWY_INLINE void paint_sky(const Frame &f, int32_t x0, size_t n) {
    const DU du;
    const DI di;
    const size_t lanes = Lanes(du), row_len = n * lanes;
    for (size_t v = 0; v < row_len; v += lanes) {
        const VI tops = LoadU(di, f.tops + x0 + v), to = ShiftRight<8>(tops);
        const VU sky_edge = mix(du, sky_colour(), Load(du, f.edges + v), BitCast(du, tops));
        const int32_t sky_end = sky_rows(f, to);
        uint32_t *row = f.tile + v;
        VI y = Zero(di);
        for (int32_t r = 0; r < sky_end; ++r, row += row_len, y = Add(y, Set(di, 1)))
            Store(sky_over(f, Load(du, row), y, to, sky_edge), du, row);
    }
}

// The tile to the screen, row by row; the screen's rows are fetched some
// rows ahead. A band of one vector lays its sky over the tile on the way.
template <bool kOne>
HWY_INLINE void put_band(const Frame &f, int32_t x0, size_t n) {
    const DU du;
    const DI di;
    const DB db;
    const size_t lanes = Lanes(du), vectors = kOne ? 1 : n, row_len = vectors * lanes;
    const VB order = LoadDup128(db, f.order);
    const auto pack = SetTableIndices(du, f.pack);
    const bool words = f.bytes == 4;
    const size_t vector_bytes = lanes * static_cast<size_t>(f.bytes);
    const ptrdiff_t ahead = screen_ahead * f.stride, row_bytes = static_cast<ptrdiff_t>(vectors * vector_bytes);
    uint8_t *dst = f.screen + f.bytes * static_cast<ptrdiff_t>(x0);
    const uint32_t *row = f.tile;
    int32_t r = 0;
    if constexpr (kOne) {
        const VI tops = LoadU(di, f.tops + x0), to = ShiftRight<8>(tops);
        const VU sky_edge = mix(du, sky_colour(), Load(du, f.edges), BitCast(du, tops));
        const int32_t sky_end = sky_rows(f, to);
        VI y = Zero(di);
        for (; r < sky_end; ++r, dst += f.stride, row += row_len, y = Add(y, Set(di, 1))) {
            prefetch_at(dst, ahead);
            put(du, sky_over(f, Load(du, row), y, to, sky_edge), order, pack, dst, words);
        }
    }
    for (; r < f.h; ++r, dst += f.stride, row += row_len) {
        prefetch_at(dst, ahead);
        if constexpr (!kOne) prefetch_at(dst + row_bytes - 1, ahead);
        for (size_t v = 0; v < vectors; ++v)
            put(du, Load(du, row + v * lanes), order, pack, dst + v * vector_bytes, words);
    }
}

// The band's n vectors of columns from x0 whole.
void show_band(const Frame &f, int32_t x0, size_t n) {
    if (n == 1) {
        paint_slices<true>(f, x0, n);
        put_band<true>(f, x0, n);
    } else {
        paint_slices<false>(f, x0, n);
        paint_sky(f, x0, n);
        put_band<false>(f, x0, n);
    }
}

}  // namespace tilted
#endif

RELVANE_FAST_KERNEL(show_tilted) {
#if HWY_TARGET == HWY_SCALAR
    plain::show_tilted(surface, screen, l, h, sine, cosine, first, last);  // one lane: the plain code is the block
#else
    // Screens whose channels share a byte, and 4-byte screens in another
    // order than the tile's (red, green, blue from the low byte), are the
    // plain kernel's.
    const bool tile_order = l.bytes == 4 && l.r == 0 && l.g == 1 && l.b == 2;
    if ((l.bytes != 3 && !tile_order) || l.r == l.g || l.g == l.b || l.r == l.b || !pixel_aligned(surface->pixels))
        return plain::show_tilted(surface, screen, l, h, sine, cosine, first, last);
    using namespace tilted;
    const size_t lanes = Lanes(DU());
    Frame f{surface->pixels, surface->pitch, h, tilted_nearest(surface, h), static_cast<uint32_t>(sine),
            static_cast<uint32_t>(cosine), screen_row(screen, 0), screen->pitch,
            reinterpret_cast<int32_t *>(surface_row(surface, surface->height - 1)), nullptr, nullptr, {}, {},
            l.bytes};
    for (int32_t p = 0; p < 4; ++p) {
        f.order[3 * p + l.r] = static_cast<uint8_t>(4 * p);
        f.order[3 * p + l.g] = static_cast<uint8_t>(4 * p + 1);
        f.order[3 * p + l.b] = static_cast<uint8_t>(4 * p + 2);
    }
    for (int32_t i = 12; i < 16; ++i) f.order[i] = 15;  // dropped
    for (size_t i = 0; i < lanes; ++i)
        f.pack[i] = static_cast<int32_t>(4 * i < 3 * lanes ? i / 3 * 4 + i % 3 : i);
    // Columns are drawn whole and apart from each other, a band of them at
    // a time in a tile of its own.
    const size_t span = std::max<size_t>(1, band_columns / lanes);  // vectors per band
    int32_t x0 = first;
    // The tile and the edges come from the heap: a worker's stack may be
    // small. Without the memory, the plain kernel draws these columns.
    constexpr size_t align = HWY_MAX_BYTES;  // a whole vector of the widest kind
    const size_t edge_bytes = (span * lanes * 4 + align - 1) / align * align;
    const size_t bytes =
        edge_bytes + ((static_cast<size_t>(h) + min_run) * span * lanes * 4 + align - 1) / align * align;
    const std::unique_ptr<uint32_t, decltype(&std::free)> memory(
        static_cast<uint32_t *>(std::aligned_alloc(align, bytes)), &std::free);
    if (memory) {
        f.edges = memory.get();
        f.tile = memory.get() + edge_bytes / 4;
        const auto vector = static_cast<int32_t>(lanes);
        while (last - x0 >= vector) {
            const size_t n = std::min(span, static_cast<size_t>((last - x0) / vector));
            show_band(f, x0, n);
            x0 += static_cast<int32_t>(n * lanes);
        }
    }
    if (x0 < last) plain::show_tilted(surface, screen, l, h, sine, cosine, x0, last);
#endif
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(show_tilted)

}  // namespace relvane::fast
#endif
