// Fast path of rv_Fractal. The draws are made in bulk, a vector of them at a
// time, and the walk takes every point's draw by its index in the fixed
// order of points: the seed pass's beforehand, a level's a chunk of rows at
// a time just before the rows use them (each run from states jumped ahead
// to its first draw), so that they never leave the cache. A level's edges
// run as in the plain walk. The square centres and the diamonds write
// disjoint sets of points and read only what the edges, the earlier levels
// and the centres wrote, so they run fused, row by row: a row of centres,
// the diamonds on it, then the diamonds on the row above, whose upper and
// lower neighbours are then final. Rows are copied into compact arrays, the
// even and the odd grid columns apart, so that every mean is a vector loop.
// The rows of centres are cut into bands on the context's threads; the seed
// row where two bands meet is finished after both.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "terrain/fractal_simd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <algorithm>
#include <memory>
#include <new>
#include <tuple>
#include <utility>

#include "terrain_fast.h"
#include "../core/random_bulk.h"
#include "../core/random_draw.h"
#include "../core/threads.h"
#include "fractal_rows.h"
#include "fractal_walk.h"

HWY_BEFORE_NAMESPACE();
namespace relvane::fast::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using namespace hn;  // the shared formulas call vector operations unqualified
#include "fractal_mean-inl.h"

namespace {

#if HWY_TARGET != HWY_SCALAR
using relvane::Affine;
using relvane::step_power;
using relvane::kStepA;
using relvane::kUsualStepB;
using relvane::usual_steps_meet_unusual_b;
using relvane::fractal::Grid;
using relvane::fast::even_lines;
using relvane::fast::odd_lines;

// The points of one level and where each pass's draws begin.
struct Level {
    int64_t h, cols_even, cols_odd, rows_even, rows_odd;
    Level(const Grid &g, int64_t half)
        : h(half),
          cols_even(even_lines(g.xmax, half)),
          cols_odd(odd_lines(g.xmax, half)),
          rows_even(even_lines(g.ymax, half)),
          rows_odd(odd_lines(g.ymax, half)) {}
    int64_t edges() const { return 2 * cols_odd + rows_odd; }
    int64_t centres() const { return edges(); }
    int64_t odd_diamonds() const { return centres() + rows_odd * cols_odd; }
    int64_t even_diamonds() const { return odd_diamonds() + rows_odd * cols_even; }
    int64_t draws() const { return even_diamonds() + rows_even * cols_odd; }
};

int64_t seed_draws(const Grid &g, int64_t stride) {
    return (g.ymax / stride + 2) * (g.xmax / stride + 2);
}

// Displacements read in order from a pass's buffer.
struct Drawn {
    const int32_t *d;
    uint16_t operator()(int32_t v) { return relvane::fractal::displaced(v, *d++); }
};

// out[j] = the mean of p[j], q[j], r[j], s[j] displaced by d[j]. out is
// none of the inputs, so the last vector may overlap the one before it.
void mean4(const int32_t *p, const int32_t *q, const int32_t *r, const int32_t *s, const int32_t *d,
           int32_t *HWY_RESTRICT out, int64_t n) {
    // At most eight lanes: the loop is bound by its five unaligned loads,
    // and wider vectors split cache lines on more of them (slower at 16).
    const hn::CappedTag<int32_t, 8> di;
    const auto lanes = static_cast<int64_t>(hn::Lanes(di));
    if (n < lanes) {
        for (int64_t j = 0; j < n; j++)
            out[j] = plain::displaced_height(plain::mean_of_four(p[j], q[j], r[j], s[j]), d[j], 0, 65535);
        return;
    }
    const auto zero = hn::Zero(di), top = hn::Set(di, 65535);
    const auto one = [&](int64_t j) {
        const auto mean = mean_of_four(LoadU(di, p + j), LoadU(di, q + j), LoadU(di, r + j), LoadU(di, s + j));
        StoreU(displaced_height(mean, LoadU(di, d + j), zero, top), di, out + j);
    };
    int64_t j = 0;
    for (; j + lanes <= n; j += lanes) one(j);
    if (j < n) one(n - lanes);
}

// A row's grid points, even and odd columns apart. After the last of each
// array sits the pixel in column xmax, the clamped right neighbour.
struct Row {
    int32_t *even, *odd;
};

struct Rows {
    const Grid &g;
    const Level &level;

    void load(int64_t y, Row r) const {
        const rv_Pixel *p = g.row(y);
        relvane::fast::load_grid_row(p, g.xmax + 1, level.h, r.even, r.odd);
        r.even[level.cols_even] = r.odd[level.cols_odd] = p[g.xmax].z;
    }
    void store(int64_t y, const int32_t *even, const int32_t *odd) const {
        relvane::fast::store_grid_row(g.row(y), g.xmax + 1, level.h, even, odd);
    }
};

// Working arrays of the fused walk, each one longer than a row's columns:
// the rows above and below the centres, the centres of this row and the one
// above, the diamonds, the seed row's new points, the band's first and last
// row of centres and the draws of the seed row above its first, kept for
// the seed row between two bands; then room for a chunk of draws.
struct Scratch {
    Row up, down;
    int32_t *centres, *above, *diamonds, *seeds, *first, *last, *first_draws, *chunk;
    static constexpr int64_t kArrays = 11;
    Scratch(int32_t *m, int64_t cols)
        : up{m, m + cols},
          down{m + 2 * cols, m + 3 * cols},
          centres(m + 4 * cols),
          above(m + 5 * cols),
          diamonds(m + 6 * cols),
          seeds(m + 7 * cols),
          first(m + 8 * cols),
          last(m + 9 * cols),
          first_draws(m + 10 * cols),
          chunk(m + 11 * cols) {}
};

// Rows of centres whose draws are made at a time, so that they are still
// in the cache when the rows use them.
int64_t rows_per_chunk(int64_t cols) { return std::max<int64_t>(1, 16384 / cols); }

// Room for a chunk's draws: its rows of centres, of diamonds on them, and of
// diamonds on the seed rows, with one seed row more.
int64_t chunk_size(int64_t cols) { return (3 * rows_per_chunk(cols) + 1) * cols; }

// A level's draws made where they are used, for a level whose draws meet
// none of B's two unusual steps: any run of them from the states its first
// draw follows, jumped to from the level's start (A's step is affine, and so
// is B's usual one).
struct LevelDraws {
    const rv_Context *c;
    int32_t a;
    uint32_t a0, b0;  // the states before the level's first draw

    // The states k draws into the level by the usual steps.
    std::pair<uint32_t, uint32_t> states(int64_t k) const {
        const Affine ja = step_power(kStepA, uint64_t(k)), jb = step_power(kUsualStepB, uint64_t(k));
        return {ja.m * a0 + ja.c, jb.m * b0 + jb.c};
    }
    // count draws from the level's draw `first` on into out.
    void make(int64_t first, int64_t count, int32_t *out) const {
        if (count <= 0) return;
        rv_Context own = *c;
        std::tie(own.random_a, own.random_b) = states(first);
        random_displacements(&own, a, out, size_t(count));
    }
};

// Where a band finds its rows' draws: in the level's buffer, made
// beforehand, or (maker set) made here a chunk of rows at a time.
struct BandDraws {
    const Level &level;
    const int32_t *buffer;
    const LevelDraws *maker;
    int32_t *chunk;
    int64_t chunk_rows;
    int64_t first = 0, last = 0, seeds_last = 0;  // the rows made: centres, seed rows

    // Makes the draws of rows of centres [r, r1) at most a chunk of them,
    // and of their seed rows, with the last seed row if they reach it.
    void reach(int64_t r, int64_t r1) {
        if (maker == nullptr || (r >= first && r < last)) return;
        const int64_t no = level.cols_odd, ne = level.cols_even;
        first = r;
        last = std::min(r + chunk_rows, r1);
        seeds_last = last == level.rows_odd ? level.rows_even : last;
        maker->make(level.centres() + first * no, (last - first) * no, chunk);
        maker->make(level.odd_diamonds() + first * ne, (last - first) * ne, chunk + chunk_rows * no);
        maker->make(level.even_diamonds() + first * no, (seeds_last - first) * no, chunk + chunk_rows * (no + ne));
    }
    // The last seed row's draws alone, where no row of centres precedes it.
    void reach_last_seeds() {
        if (maker == nullptr || (level.rows_odd >= first && level.rows_odd < seeds_last)) return;
        reach(level.rows_odd, level.rows_odd);
    }
    // Row r's draws: its centres, the diamonds on it, and the diamonds on
    // the seed row above it.
    const int32_t *centres(int64_t r) const {
        return maker ? chunk + (r - first) * level.cols_odd : buffer + level.centres() + r * level.cols_odd;
    }
    const int32_t *diamonds(int64_t r) const {
        return maker ? chunk + chunk_rows * level.cols_odd + (r - first) * level.cols_even
                     : buffer + level.odd_diamonds() + r * level.cols_even;
    }
    const int32_t *seeds(int64_t r) const {
        return maker ? chunk + chunk_rows * (level.cols_odd + level.cols_even) + (r - first) * level.cols_odd
                     : buffer + level.even_diamonds() + r * level.cols_odd;
    }
};

// Rows of centres [r0, r1) of one level: the centres, the diamonds on
// their rows, and the diamonds on the seed rows above them but the first
// when r0 > 0, whose upper neighbours are another band's centres (left to
// between_bands). The band writes only its own rows, and reads no row
// another band writes, so bands run side by side.
void refine_band(const Grid &g, const Level &level, BandDraws &draws, Scratch s, int64_t r0, int64_t r1) {
    const Rows rows{g, level};
    const int64_t h = level.h, ne = level.cols_even, no = level.cols_odd;
    rows.load(2 * h * r0, s.up);
    // On the first seed row the point itself stands in for its upper neighbour.
    int32_t *above = s.up.odd;
    for (int64_t r = r0; r < r1; r++) {
        draws.reach(r, r1);
        const int32_t *d_centre = draws.centres(r), *d_odd = draws.diamonds(r), *d_even = draws.seeds(r);
        const int64_t y = h + 2 * h * r;
        rows.load(std::min(y + h, g.ymax), s.down);
        int32_t *c = s.centres;
        mean4(s.up.even, s.up.even + 1, s.down.even, s.down.even + 1, d_centre, c, no);
        c[no] = g.row(y)[g.xmax].z;
        // Diamonds: the one in column 0 takes its right neighbour twice.
        int32_t *dm = s.diamonds;
        dm[0] = plain::displaced_height(plain::mean_of_four(c[0], s.up.even[0], c[0], s.down.even[0]), d_odd[0],
                                        0, 65535);
        mean4(c, s.up.even + 1, c + 1, s.down.even + 1, d_odd + 1, dm + 1, ne - 1);
        rows.store(y, dm, c);
        if (r == r0 && r0 > 0) {
            std::copy(c, c + no + 1, s.first);
            std::copy(d_even, d_even + no, s.first_draws);
        } else {
            // The seed row's even points keep their heights.
            mean4(s.up.even, above, s.up.even + 1, c, d_even, s.seeds, no);
            rows.store(y - h, s.up.even, s.seeds);
        }
        if (r == r1 - 1) std::copy(c, c + no + 1, s.last);
        std::swap(s.up, s.down);
        std::swap(s.centres, s.above);
        above = s.above;
    }
    if (r1 < level.rows_odd || level.rows_even == level.rows_odd) return;
    // The last seed row: its lower neighbour clamps to row ymax, the row
    // itself or one below it that no level writes.
    draws.reach_last_seeds();
    const int64_t y = 2 * h * level.rows_odd;
    const int32_t *below = s.up.odd;
    if (y != g.ymax) {
        rows.load(g.ymax, s.down);
        below = s.down.odd;
    }
    mean4(s.up.even, above, s.up.even + 1, below, draws.seeds(level.rows_odd), s.seeds, no);
    rows.store(y, s.up.even, s.seeds);
}

// The seed row where band `lower` starts (its first row r0 > 0), between
// the upper band's last centres and the lower band's first.
void between_bands(const Grid &g, const Level &level, const Scratch &upper, const Scratch &lower, int64_t r0) {
    const Rows rows{g, level};
    rows.load(2 * level.h * r0, lower.up);
    mean4(lower.up.even, upper.last, lower.up.even + 1, lower.first, lower.first_draws, lower.seeds,
          level.cols_odd);
    rows.store(2 * level.h * r0, lower.up.even, lower.seeds);
}

// The centres and diamonds of one level in bands of rows on the context's
// threads (scratch: one per band), their draws from the level's buffer or,
// with a maker, made by each band as it goes.
void refine_inside(const Grid &g, const Level &level, const int32_t *buffer, const LevelDraws *maker,
                   int32_t *scratch, int64_t cols, int64_t bands_most) {
    const int64_t rows = level.rows_odd, width = g.xmax + 1;
    // (a band's rows of centres each cover 2h rows of pixels)
    const int64_t grain = rows_worth_a_thread(width) / (2 * level.h) + 1;
    const int64_t bands = std::min(chunks_for(g.s->context, rows, grain), bands_most);
    const auto scratch_of = [&](int64_t k) {
        return Scratch(scratch + k * (Scratch::kArrays * cols + chunk_size(cols)), cols);
    };
    const auto band = [&](int64_t k, int64_t first, int64_t last) {
        const Scratch s = scratch_of(k);
        BandDraws draws{level, buffer, maker, s.chunk, rows_per_chunk(cols)};
        refine_band(g, level, draws, s, first, last);
    };
    if (bands <= 1) return band(0, 0, rows);
    run_chunks(bands, rows, band);
    for (int64_t k = 1; k < bands; k++) between_bands(g, level, scratch_of(k - 1), scratch_of(k), rows * k / bands);
}

#endif

}  // namespace

RELVANE_FAST_KERNEL(fractal) {
#if HWY_TARGET == HWY_SCALAR
    // One lane gains nothing over the plain walk.
    plain::fractal(surface, step, base, amplitude, roughness);
#else
    if (surface->width < 1 || surface->height < 1) return;
    const Grid g{surface, surface->width - 1, surface->height - 1};
    const int64_t stride = std::max<int32_t>(step, 1);
    int64_t most = seed_draws(g, stride);
    for (int64_t h = stride >> 1; h != 0; h >>= 1) most = std::max(most, Level(g, h).draws());
    const int64_t cols = g.xmax / 2 + 2;
    if (most > (int64_t{1} << 40)) return plain::fractal(surface, step, base, amplitude, roughness);
    const int64_t bands_most = std::min<int64_t>(threads_of(surface->context), 256);
    const int64_t per_band = Scratch::kArrays * cols + chunk_size(cols);
    // A whole level's draws fill the buffer only where they are made
    // beforehand (see below).
    const std::unique_ptr<int32_t[]> memory(new (std::nothrow) int32_t[size_t(most + bands_most * per_band)]);
    if (!memory) return plain::fractal(surface, step, base, amplitude, roughness);
    int32_t *draws = memory.get(), *scratch = draws + most;

    rv_Context *c = surface->context;
    fractal::levels(
        step, base, amplitude, roughness,
        [&](int64_t s, int32_t B, int32_t a) {
            random_displacements(c, a, draws, size_t(seed_draws(g, s)));
            Drawn D{draws};
            fractal::seed(g, s, B, D);
        },
        [&](int64_t h, int32_t a) {
            const Level level(g, h);
            // A level whose draws stay in the cache takes them beforehand;
            // a larger one makes each where it is used, from jumped-ahead
            // states, unless they meet an unusual step of B (about once in
            // 2^31 draws).
            const bool where_used =
                level.draws() > fractal_draws_ahead && !usual_steps_meet_unusual_b(c->random_b, level.draws());
            const LevelDraws maker{c, a, c->random_a, c->random_b};
            if (where_used)
                maker.make(0, level.edges(), draws);
            else
                random_displacements(c, a, draws, size_t(level.draws()));
            Drawn edges{draws};
            fractal::refine_edges(g, h, edges);
            refine_inside(g, level, draws, where_used ? &maker : nullptr, scratch, cols, bands_most);
            if (where_used) std::tie(c->random_a, c->random_b) = maker.states(level.draws());
        });
#endif
}

}  // namespace relvane::fast::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "../core/fast_export.h"

namespace relvane::fast {

RELVANE_FAST_EXPORT(fractal)

}  // namespace relvane::fast
#endif
