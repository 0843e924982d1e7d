// The kernels of every pass, listed once, and the one table of them the
// operations run from. Each entry's signature is written here alone: the
// table's slot, the plain kernel's and the per-target kernel's heads
// (RELVANE_PLAIN_KERNEL in relvane::plain, RELVANE_FAST_KERNEL) and the call
// through the table (relvane::fast::NAME(...)) all come from it. The table
// starts filled with the plain kernels; once per process, at first use, the
// kernels of the best vector target this processor runs replace them. With
// the fast paths switched off, or without the vector layer (RELVANE_SIMD
// off), the plain kernels stay.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "surface.h"

struct rv_Pipe;
struct SDL_Surface;
namespace relvane {
struct ScreenLayout;
struct ViewSweep;
}

// Result and parameters of each entry. Every entry is a kernel over a range
// of its pass's natural unit; the schedule (threads.h) cuts the operation
// into those ranges and calls the slot once per range.
#define RELVANE_FAST_SHAPE_PARAMS \
    (rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy, float r, float h)
#define RELVANE_FAST_STAGE_PARAMS (rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n)
#define RELVANE_FAST_CHAIN_PARAMS (rv_Pipe *p, const rv_Pixel *s, rv_Pixel *d, int32_t n)
// screen rows [first, last) of a straight-down display; value: its one parameter
#define RELVANE_FAST_SCREEN_ROWS_PARAMS                                                                   \
    (const rv_Surface *surface, SDL_Surface *screen, const relvane::ScreenLayout &l, int32_t value,       \
     int32_t first, int32_t last)

// area operations over a band of whole rows (already clipped)
#define RELVANE_FAST_fill_rect void, (uint32_t mask, rv_Surface *surface, rv_Rect *rect, const rv_Pixel *value)
#define RELVANE_FAST_raise_to_level void, (rv_Surface *surface, rv_Rect *rect, const rv_Pixel *level, int32_t factor)
// copy: rows pixels high, n wide, between rows pitch pixels apart; backwards:
// last row first and each row from its end (dst overlaps src after it)
#define RELVANE_FAST_copy_block \
    void, (uint32_t mask, const rv_Pixel *src, int32_t src_pitch, rv_Pixel *dst, int32_t dst_pitch, int32_t n, int32_t rows, bool backwards)
// the view passes over one run of a row (see shade/view_rows.h)
#define RELVANE_FAST_view_run \
    void, (rv_Pixel *out, const rv_Pixel *from, const rv_Pixel *below, int32_t *lines, int32_t n, int32_t lit, const relvane::ViewSweep &s)
// round shapes
#define RELVANE_FAST_draw_disc void, (rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy, float r)
#define RELVANE_FAST_draw_cone void, RELVANE_FAST_SHAPE_PARAMS
#define RELVANE_FAST_draw_dome void, RELVANE_FAST_SHAPE_PARAMS
#define RELVANE_FAST_draw_paraboloid void, RELVANE_FAST_SHAPE_PARAMS
// pipe stages: each does its whole stage, the rest of the chain included
#define RELVANE_FAST_stage_ZSet void, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_ZTestAbove void, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_ZTestBelow void, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_ColourFetch void, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_AlphaConst void, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_LightConst void, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_ColourWrite void, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_ZWrite void, RELVANE_FAST_STAGE_PARAMS
// whole chains in one pass, by height test (plain: the chain's slots in turn)
#define RELVANE_FAST_chain_none void, RELVANE_FAST_CHAIN_PARAMS
#define RELVANE_FAST_chain_above void, RELVANE_FAST_CHAIN_PARAMS
#define RELVANE_FAST_chain_below void, RELVANE_FAST_CHAIN_PARAMS
// terrain, and the pieces of its walk
#define RELVANE_FAST_fractal void, (rv_Surface *surface, int32_t step, float base, float amplitude, float roughness)
#define RELVANE_FAST_random_displacements void, (rv_Context *c, int32_t a, int32_t *out, size_t n)
#define RELVANE_FAST_load_grid_row void, (const rv_Pixel *p, int64_t width, int64_t h, int32_t *even, int32_t *odd)
#define RELVANE_FAST_store_grid_row void, (rv_Pixel *p, int64_t width, int64_t h, const int32_t *even, const int32_t *odd)
// displays; sine, cosine: 16.16 fixed point; the tilted view over screen
// columns [first, last) (after tilted_front)
#define RELVANE_FAST_show_colour void, RELVANE_FAST_SCREEN_ROWS_PARAMS
#define RELVANE_FAST_show_light void, RELVANE_FAST_SCREEN_ROWS_PARAMS
#define RELVANE_FAST_show_profiles void, RELVANE_FAST_SCREEN_ROWS_PARAMS
#define RELVANE_FAST_show_height void, RELVANE_FAST_SCREEN_ROWS_PARAMS
#define RELVANE_FAST_show_tilted                                                                          \
    void, (rv_Surface *surface, SDL_Surface *screen, const relvane::ScreenLayout &l, int32_t h, int32_t sine, \
           int32_t cosine, int32_t first, int32_t last)

// Every entry, in table order.
#define RELVANE_FAST_ENTRIES(X)                                                                     \
    X(fill_rect) X(raise_to_level) X(copy_block)                                                    \
    X(view_run)                                                                                     \
    X(draw_disc) X(draw_cone) X(draw_dome) X(draw_paraboloid)                                       \
    X(stage_ZSet) X(stage_ZTestAbove) X(stage_ZTestBelow) X(stage_ColourFetch)                \
    X(stage_AlphaConst) X(stage_LightConst) X(stage_ColourWrite) X(stage_ZWrite)               \
    X(chain_none) X(chain_above) X(chain_below)                                                     \
    X(fractal) X(random_displacements) X(load_grid_row) X(store_grid_row)                           \
    X(show_colour) X(show_light) X(show_profiles) X(show_height) X(show_tilted)

#define RELVANE_FAST_HEAD_(name, result, params) result name params
#define RELVANE_FAST_HEAD(name, ...) RELVANE_FAST_HEAD_(name, __VA_ARGS__)
#define RELVANE_FAST_TYPE_(result, params) result params
#define RELVANE_FAST_TYPE(...) RELVANE_FAST_TYPE_(__VA_ARGS__)
// The type of a pointer to the entry's kernel.
#define RELVANE_FAST_POINTER(name) std::add_pointer_t<RELVANE_FAST_TYPE(RELVANE_FAST_##name)>

// The head of an entry's kernel in a per-target file, `RELVANE_FAST_KERNEL(fill_rect) { ... }`,
// and of its plain kernel, `RELVANE_PLAIN_KERNEL(fill_rect) { ... }` (at file scope).
#define RELVANE_FAST_KERNEL(name) RELVANE_FAST_HEAD(name, RELVANE_FAST_##name)
#define RELVANE_PLAIN_KERNEL(name) RELVANE_FAST_HEAD(relvane::plain::name, RELVANE_FAST_##name)

// The plain kernels, one per entry: the readable code every vector kernel is
// an exact rewrite of, and what every slot holds until a vector target's
// kernels replace it.
namespace relvane::plain {
#define RELVANE_PLAIN_DECLARE(name) RELVANE_FAST_HEAD(name, RELVANE_FAST_##name);
RELVANE_FAST_ENTRIES(RELVANE_PLAIN_DECLARE)
#undef RELVANE_PLAIN_DECLARE
}  // namespace relvane::plain

namespace relvane::fast {

#define RELVANE_FAST_SLOT(name) RELVANE_FAST_POINTER(name) name = &plain::name;
// The kernels in force, one slot per entry, each filled with its plain kernel.
struct Table {
    RELVANE_FAST_ENTRIES(RELVANE_FAST_SLOT)
};
#undef RELVANE_FAST_SLOT

// The table of plain kernels alone.
inline constexpr Table plain_table{};

#if RELVANE_SIMD
// The table of the best target this processor runs (of the target a test
// forces): the plain table with the kernels of that target over it, filled
// once per process by every entry's picker in the per-target files.
Table best_table();

// The table in force, filled at first use (thread-safe).
inline Table chosen_table{};
inline const Table &table() {
    static const bool chosen = (chosen_table = best_table(), true);
    (void)chosen;
    return chosen_table;
}
#else
constexpr const Table &table() { return plain_table; }
#endif

// A call through the table: NAME(args...) runs the kernel in force.
template <auto Slot>
struct Entry {
    template <class... A>
    void operator()(A &&...a) const {
        (table().*Slot)(static_cast<A &&>(a)...);
    }
};

#define RELVANE_FAST_CALL(name) inline constexpr Entry<&Table::name> name{};
RELVANE_FAST_ENTRIES(RELVANE_FAST_CALL)
#undef RELVANE_FAST_CALL

}  // namespace relvane::fast
