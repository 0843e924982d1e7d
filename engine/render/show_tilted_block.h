// The tilted view's fast path draws a block of columns at a time, all slices
// and the sky, into a tile in the cache, then stores the tile to the screen.
// The block is written once for every vector width: a file that includes
// this with TILTED_TARGET set to its instruction set gets show_block for its
// lane operations V (one lane per column, one tile row per vector).
#pragma once

#include <algorithm>
#include <cstdint>

#include "show_rows_simd.h"

namespace relvane::fast {

constexpr int32_t max_tile_rows = 4096;
constexpr int32_t min_run = 6;  // rows painted per slice at least

typedef int32_t __attribute__((may_alias)) TopWord;

struct TiltedFrame {
    const rv_Surface *surface;
    int32_t h, nr;
    uint32_t sine, cosine;
    Shifts shifts;
    uint8_t order[32];  // tile bytes to screen bytes, per 16-byte lane
};

// 16 columns from x0, for processors that have 16-lane vectors; the tile
// holds max_tile_rows + min_run rows of 16 colours, 64-byte aligned.
bool have_block16();
void show_block16(const TiltedFrame &v, SDL_Surface *screen, int32_t x0, uint32_t *tile, TopWord *tops_out);

#ifdef TILTED_TARGET
// Asks for the line at p + offset to be written soon; it may lie past the
// screen, as prefetches never fault.
inline void prefetch_write(const uint8_t *p, ptrdiff_t offset) {
    __builtin_prefetch(reinterpret_cast<const void *>(reinterpret_cast<uintptr_t>(p) + offset), 1);
}

// Columns x0.. (V::lanes of them) whole: every slice, the sky and the
// screen rows. The column's edge colour is what its top row holds, the
// underside of the next blend there, so no blend reads the tile.
template <typename V>
TILTED_TARGET void show_block(const TiltedFrame &v, SDL_Surface *screen, int32_t x0, typename V::Vec *tile,
                              TopWord *tops_out) {
    using Vec = typename V::Vec;
    using Mask = typename V::Mask;
    const int32_t h = v.h;
    const Vec zero = V::splat(0), one = V::splat(1), two = V::splat(2);
    const Vec bottom = V::splat((h - 1) * 256), cosine = V::splat(static_cast<int32_t>(v.cosine));
    const Vec last = V::splat(h - 1);  // rows above it are blended
    Vec tops = V::splat(h * 256), edge = zero;
    // The slices run up the surface's rows, a stride the hardware does not
    // follow: the block's pixels some rows ahead are fetched in time (every
    // 63 bytes reaches each line of 8-byte pixels).
    constexpr int32_t ahead = 16;
    const rv_Pixel *const pixels = v.surface->pixels + x0;
    const ptrdiff_t pitch = v.surface->pitch;
    uint32_t offset = 0;
    for (int32_t j = 0; j <= v.nr; ++j, offset += v.sine) {
        const auto *next = reinterpret_cast<const char *>(pixels + std::max(v.nr - j - ahead, 0) * pitch);
        for (int32_t b = 0; b < V::lanes * 8; b += 63) __builtin_prefetch(next + b);
        Vec rgba, lz;
        V::pixels(pixels + (v.nr - j) * pitch, rgba, lz);
        const Vec rise = V::srli(
            V::add(V::splat(static_cast<int32_t>(offset)), V::srli(V::mullo(V::srli(lz, 16), cosine), 8)), 8);
        const Vec raw = V::sub(bottom, rise);
        const Mask visible = V::greater(tops, raw);
        if (V::none(visible)) continue;
        const Vec colour = V::lit(rgba, lz);
        const Vec top = V::max(raw, zero);
        const Vec from = V::srai(top, 8), to = V::srai(tops, 8);
        const Vec blended = V::mix(colour, edge, tops);
        const Mask blend = V::both(visible, V::greater(last, to));
        // Each drawing lane paints rows first..last: colour above its old
        // top's row, the blend in that row.
        const Vec first = V::select(visible, from, V::splat(INT32_MAX));
        const Vec last_row = V::select(blend, to, V::sub(to, one));
        int32_t y0, y1;
        V::lane_range(visible, from, to, y0, y1);
        // At least a fixed run of rows, two at a time, so the loop's end is
        // rarely guessed wrong (the count varies from slice to slice); the
        // tile has spare rows below for it.
        y1 = std::max(y1, y0 + min_run - 1);
        Vec y = V::splat(y0);
        for (Vec *row = tile + y0; row <= tile + y1; row += 2, y = V::add(y, two)) {
            V::store_between(row, first, y, last_row, V::select(V::greater(to, y), colour, blended));
            const Vec below = V::add(y, one);
            V::store_between(row + 1, first, below, last_row, V::select(V::greater(to, below), colour, blended));
        }
        edge = V::select(V::both(visible, V::greater(to, from)), colour, V::select(blend, blended, edge));
        tops = V::select(visible, top, tops);
    }
    V::store_tops(tops_out + x0, tops);

    // Sky above the tops, then every row to the screen, whose rows are
    // fetched for writing some rows ahead.
    constexpr ptrdiff_t screen_ahead = 8;
    const Vec sky = V::splat(64 | 64 << 8 | 96 << 16);
    const Vec to = V::srai(tops, 8);
    const Vec sky_edge = V::mix(sky, edge, tops);
    const Mask blend = V::greater(last, to);
    int32_t y0, y1;
    V::lane_range(V::greater(one, zero), zero, to, y0, y1);
    Vec y = zero;
    const Vec order = V::order(v.order);
    uint8_t *dst = screen_row(screen, 0) + 3 * static_cast<ptrdiff_t>(x0);
    const ptrdiff_t stride = screen->pitch;
    int32_t r = 0;
    for (; r <= y1 && r < h; ++r, dst += stride, y = V::add(y, one)) {
        Vec c = V::select(V::greater(to, y), sky, tile[r]);
        c = V::select(V::both(blend, V::equal(to, y)), sky_edge, c);
        prefetch_write(dst, screen_ahead * stride);
        V::put(c, order, dst);
    }
    for (; r < h; ++r, dst += stride) {
        prefetch_write(dst, screen_ahead * stride);
        V::put(tile[r], order, dst);
    }
}
#endif

}  // namespace relvane::fast
