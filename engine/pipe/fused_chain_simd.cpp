// The test program's chain in one pass: height set, height test, colour
// fetch, constant alpha and light, colour write and height write. Every stage
// of it works on each pixel alone, so doing all of them pixel by pixel gives
// what the stages give one after another, as long as the three spans do not
// overlap. A failing pixel gets only its new work height, as the stages leave
// it; the others get the whole chain.
#include "stages_fast.h"

#include <initializer_list>

#include "../core/fast_path.h"

namespace {

using relvane::PixelWord;
using relvane::fast::colour_blend;

enum class Test { None, Above, Below };

template <Test T>
inline bool passes(uint32_t w, uint32_t d) {
    if constexpr (T == Test::Above) return w >= d;
    if constexpr (T == Test::Below) return w <= d;
    return true;
}

// Words 2k and 2k + 1 of a span are pixel k's colour and alpha, and its light
// and z.
template <Test T>
[[gnu::always_inline]] inline void run(PixelWord *work, const PixelWord *src, PixelWord *dst,
                                       int32_t n, uint32_t a, uint32_t i) {
    for (int32_t k = 0; k < n; ++k) {
        const uint32_t s = src[2 * k], z = src[2 * k + 1] & 0xFFFF0000u;
        const uint32_t w = work[2 * k], wl = work[2 * k + 1] & 0xFFFFu;
        const uint32_t d = dst[2 * k], dz = dst[2 * k + 1];
        // All ones where the pixel passes; picks between new and old bits.
        const uint32_t m = 0u - static_cast<uint32_t>(passes<T>(z >> 16, dz >> 16));
        const auto pick = [m](uint32_t x, uint32_t old) { return (x & m) | (old & ~m); };
        const uint32_t r = colour_blend(s & 0xFF, d & 0xFF, i, a);
        const uint32_t g = colour_blend((s >> 8) & 0xFF, (d >> 8) & 0xFF, i, a);
        const uint32_t b = colour_blend((s >> 16) & 0xFF, (d >> 16) & 0xFF, i, a);
        work[2 * k] = pick((s & 0xFFFFFFu) | a << 24, w);
        work[2 * k + 1] = z | pick(i, wl);
        dst[2 * k] = pick((d & 0xFF000000u) | r | g << 8 | b << 16, d);
        dst[2 * k + 1] = pick(z | (dz & 0xFFFFu), dz);
    }
}

__attribute__((target_clones("avx2", "default")))
void run_none(PixelWord *work, const PixelWord *src, PixelWord *dst, int32_t n, uint32_t a, uint32_t i) {
    run<Test::None>(work, src, dst, n, a, i);
}
__attribute__((target_clones("avx2", "default")))
void run_above(PixelWord *work, const PixelWord *src, PixelWord *dst, int32_t n, uint32_t a, uint32_t i) {
    run<Test::Above>(work, src, dst, n, a, i);
}
__attribute__((target_clones("avx2", "default")))
void run_below(PixelWord *work, const PixelWord *src, PixelWord *dst, int32_t n, uint32_t a, uint32_t i) {
    run<Test::Below>(work, src, dst, n, a, i);
}

// True when slots from on hold exactly the stages of the list.
bool holds(const rv_Pipe *pipe, int32_t from, std::initializer_list<rv_PipeStage> list) {
    if (from < 0 || from + static_cast<int32_t>(list.size()) > RV_PIPE_SLOTS) return false;
    for (const rv_PipeStage stage : list)
        if (pipe->stages[from++] != stage) return false;
    return true;
}

bool apart(const rv_Pixel *a, const rv_Pixel *b, int32_t n) { return a + n <= b || b + n <= a; }

}  // namespace

namespace relvane::fast {

bool fused_chain(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    auto *run_chain = run_none;
    int32_t rest = index + 1;
    if (holds(pipe, rest, {rv_StageZTestAbove})) {
        run_chain = run_above;
        ++rest;
    } else if (holds(pipe, rest, {rv_StageZTestBelow})) {
        run_chain = run_below;
        ++rest;
    }
    rv_Pixel *const work = pipe->work;
    if (!holds(pipe, rest, {rv_StageColourFetch, rv_StageAlphaConst, rv_StageLightConst,
                            rv_StageColourWrite, rv_StageZWrite}) ||
        !pixel_aligned(work) || !pixel_aligned(src) || !pixel_aligned(dst) ||
        !apart(work, src, count) || !apart(work, dst, count) || !apart(src, dst, count))
        return false;
    const auto a = static_cast<uint32_t>(pipe->alpha) & 0xFFu;
    const auto i = static_cast<uint32_t>(pipe->light) & 0xFFFFu;
    run_chain(reinterpret_cast<PixelWord *>(work), reinterpret_cast<const PixelWord *>(src),
              reinterpret_cast<PixelWord *>(dst), count, a, i);
    return true;
}

}  // namespace relvane::fast
