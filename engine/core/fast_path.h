// The fast paths: bit-exact rewrites of the hot loops, built only when
// RELVANE_SIMD is on. A public function tries its fast path in its first
// line and runs its own plain code when the fast path declines.
#pragma once

#include <cstdint>

#include "pixel.h"
#include "surface.h"

struct SDL_Surface;
struct rv_Pipe;

namespace relvane {

struct ScreenLayout;

#if RELVANE_SIMD
// On by default; tests switch it off to reach the plain code.
bool fast_paths_enabled();
void set_fast_paths_enabled(bool on);
// 16-lane code where the processor has it; tests switch it off to reach the
// 8-lane code.
bool wide_vectors_enabled();
void set_wide_vectors_enabled(bool on);

#define RELVANE_TRY_FAST(call)                                      \
    do {                                                            \
        if (::relvane::fast_paths_enabled() && (call)) return;      \
    } while (0)
#else
#define RELVANE_TRY_FAST(call) \
    do {                       \
    } while (0)
#endif

// A 32-bit word of pixel memory; pixels are read and written as words.
typedef uint32_t __attribute__((may_alias)) PixelWord;

// A whole pixel as one 64-bit word (pixel memory must be 8-byte aligned).
typedef uint64_t __attribute__((may_alias)) PixelBits;

inline bool pixel_aligned(const void *p) { return reinterpret_cast<uintptr_t>(p) % 8 == 0; }

// Each returns true when it has done the whole operation, false to leave it
// to the plain code.
namespace fast {

// Whether the processor runs AVX2, asked once.
inline bool has_avx2() {
#if defined(__x86_64__)
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
#else
    return false;
#endif
}

bool fill_rect(uint32_t mask, rv_Surface *surface, rv_Rect *rect, const rv_Pixel *value);
// Copies rows pixels high, n wide, between rows pitch pixels apart; backwards:
// last row first and each row from its end (dst overlaps src after it).
bool copy_block(uint32_t mask, const rv_Pixel *src, int32_t src_pitch, rv_Pixel *dst,
                int32_t dst_pitch, int32_t n, int32_t rows, bool backwards);
bool apply_water(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *water, int32_t depth);
// rise: the facing slope's rise per diagonal step; floor: the smallest factor.
bool shade_slopes(rv_Surface *surface, int64_t rise, int64_t floor);
// fall: how far the shadow line drops per diagonal step.
bool shade_shadows(rv_Surface *surface, int64_t fall);
bool show_colour(const rv_Surface *surface, SDL_Surface *screen);
bool show_light(const rv_Surface *surface, SDL_Surface *screen);
// h: the screen rows drawn; sine, cosine: the view angle's, 16.16 fixed point.
bool show_tilted(rv_Surface *surface, SDL_Surface *screen, const ScreenLayout &layout, int32_t h, int32_t sine,
                 int32_t cosine);
bool show_profiles(const rv_Surface *surface, SDL_Surface *screen, int32_t rows);
bool show_height(const rv_Surface *surface, SDL_Surface *screen, int32_t scale);
bool fractal(rv_Surface *surface, int32_t step, float base, float amplitude, float roughness);
bool raise_to_level(rv_Surface *surface, rv_Rect *rect, const rv_Pixel *level, int32_t factor);
bool draw_disc(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
               float r);
bool draw_cone(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
               float r, float h);
bool draw_dome(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
               float r, float h);
bool draw_paraboloid(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx,
                     float cy, float r, float h);

}  // namespace fast

}  // namespace relvane
