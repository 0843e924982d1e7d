// The fast entries of every pass, listed once, and the one table of them the
// operations run from. Each entry's signature is written here alone: the
// table's slot, the per-target kernel's head (RELVANE_FAST_KERNEL) and the
// call through the table (relvane::fast::NAME(...)) all come from it. The
// table is filled once per process, at first use, with the kernels of the
// best vector target this processor runs; with the fast paths switched off,
// or without the vector layer (RELVANE_SIMD off), every slot is empty and each
// operation runs its plain code.
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

// Result and parameters of each entry (its kernel returns false to decline:
// nothing written, the plain code then does the work).
#define RELVANE_FAST_SHAPE_PARAMS \
    (rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy, float r, float h)
#define RELVANE_FAST_STAGE_PARAMS (rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n)
#define RELVANE_FAST_CHAIN_PARAMS (rv_Pipe *p, const rv_Pixel *s, rv_Pixel *d, int32_t n)

// area operations
#define RELVANE_FAST_fill_rect bool, (uint32_t mask, rv_Surface *surface, rv_Rect *rect, const rv_Pixel *value)
#define RELVANE_FAST_raise_to_level bool, (rv_Surface *surface, rv_Rect *rect, const rv_Pixel *level, int32_t factor)
// copy: rows pixels high, n wide, between rows pitch pixels apart; backwards:
// last row first and each row from its end (dst overlaps src after it)
#define RELVANE_FAST_copy_block \
    bool, (uint32_t mask, const rv_Pixel *src, int32_t src_pitch, rv_Pixel *dst, int32_t dst_pitch, int32_t n, int32_t rows, bool backwards)
#define RELVANE_FAST_apply_water bool, (rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water, int32_t depth)
// view passes over one run of a row (see shade/view_rows.h), and whole
// surfaces of the shading passes for the per-target tests
#define RELVANE_FAST_view_run \
    void, (rv_Pixel *out, const rv_Pixel *from, const rv_Pixel *below, int32_t *lines, int32_t n, int32_t lit, const relvane::ViewSweep &s)
#define RELVANE_FAST_shade_slopes bool, (rv_Surface *surface, int64_t rise, int64_t floor)
#define RELVANE_FAST_shade_shadows bool, (rv_Surface *surface, int64_t fall)
// round shapes
#define RELVANE_FAST_draw_disc bool, (rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy, float r)
#define RELVANE_FAST_draw_cone bool, RELVANE_FAST_SHAPE_PARAMS
#define RELVANE_FAST_draw_dome bool, RELVANE_FAST_SHAPE_PARAMS
#define RELVANE_FAST_draw_paraboloid bool, RELVANE_FAST_SHAPE_PARAMS
// pipe stages: each does its whole stage, the rest of the chain included
#define RELVANE_FAST_stage_ZSet bool, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_ZTestAbove bool, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_ZTestBelow bool, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_ColourFetch bool, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_AlphaConst bool, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_LightConst bool, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_ColourWrite bool, RELVANE_FAST_STAGE_PARAMS
#define RELVANE_FAST_stage_ZWrite bool, RELVANE_FAST_STAGE_PARAMS
// whole chains in one pass, by height test
#define RELVANE_FAST_chain_none bool, RELVANE_FAST_CHAIN_PARAMS
#define RELVANE_FAST_chain_above bool, RELVANE_FAST_CHAIN_PARAMS
#define RELVANE_FAST_chain_below bool, RELVANE_FAST_CHAIN_PARAMS
// terrain, and the pieces its kernel shares with none (called only from it)
#define RELVANE_FAST_fractal bool, (rv_Surface *surface, int32_t step, float base, float amplitude, float roughness)
#define RELVANE_FAST_random_displacements void, (rv_Context *c, int32_t a, int32_t *out, size_t n)
#define RELVANE_FAST_load_grid_row void, (const rv_Pixel *p, int64_t width, int64_t h, int32_t *even, int32_t *odd)
#define RELVANE_FAST_store_grid_row void, (rv_Pixel *p, int64_t width, int64_t h, const int32_t *even, const int32_t *odd)
// displays; h: the screen rows drawn; sine, cosine: 16.16 fixed point
#define RELVANE_FAST_show_colour bool, (const rv_Surface *surface, SDL_Surface *screen)
#define RELVANE_FAST_show_light bool, (const rv_Surface *surface, SDL_Surface *screen)
#define RELVANE_FAST_show_profiles bool, (const rv_Surface *surface, SDL_Surface *screen, int32_t rows)
#define RELVANE_FAST_show_height bool, (const rv_Surface *surface, SDL_Surface *screen, int32_t scale)
#define RELVANE_FAST_show_tilted \
    bool, (rv_Surface *surface, SDL_Surface *screen, const relvane::ScreenLayout &l, int32_t h, int32_t sine, int32_t cosine)

// Every entry, in table order.
#define RELVANE_FAST_ENTRIES(X)                                                                     \
    X(fill_rect) X(raise_to_level) X(copy_block) X(apply_water)                                     \
    X(view_run)                                                                                     \
    X(shade_slopes) X(shade_shadows)                                                                \
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

// The head of an entry's kernel in a per-target file: `RELVANE_FAST_KERNEL(fill_rect) { ... }`.
#define RELVANE_FAST_KERNEL(name) RELVANE_FAST_HEAD(name, RELVANE_FAST_##name)

namespace relvane::fast {

#define RELVANE_FAST_SLOT(name) RELVANE_FAST_POINTER(name) name = nullptr;
// The kernels in force, one slot per entry; an empty slot has no fast path.
struct Table {
    RELVANE_FAST_ENTRIES(RELVANE_FAST_SLOT)
};
#undef RELVANE_FAST_SLOT

#if RELVANE_SIMD
// The table of the best target this processor runs (of the target a test
// forces), filled by every entry's picker in the per-target files.
Table best_table();

// The table in force, filled at first use (thread-safe).
inline Table chosen_table{};
inline const Table &table() {
    static const bool chosen = (chosen_table = best_table(), true);
    (void)chosen;
    return chosen_table;
}
#else
inline constexpr Table no_fast_paths{};
constexpr const Table &table() { return no_fast_paths; }
#endif

// A call through the table: NAME(args...) runs the chosen kernel. A kernel
// returning bool gives false when the slot is empty, so a public function
// writes `if (fast::NAME(args...)) return;` before its plain code.
template <auto Slot>
struct Entry {
    template <class... A>
    auto operator()(A &&...a) const {
        auto *f = table().*Slot;
        using R = decltype(f(static_cast<A &&>(a)...));
        if constexpr (std::is_same_v<R, bool>) {
            return f != nullptr && f(static_cast<A &&>(a)...);
        } else {
            return f(static_cast<A &&>(a)...);  // void entries: called only by kernels, never empty then
        }
    }
};

#define RELVANE_FAST_CALL(name) inline constexpr Entry<&Table::name> name{};
RELVANE_FAST_ENTRIES(RELVANE_FAST_CALL)
#undef RELVANE_FAST_CALL

}  // namespace relvane::fast
