// Fast paths of the hot pipe stages. A pixel is one 64-bit word (red in the
// low byte, z in the top 16 bits), so a stage that moves fields is a masked
// merge of words, which vectorises 4 pixels to a 256-bit vector. The height
// tests find their sub-runs from bit masks of 64 pixels at a time.
#include "stages_fast.h"

#include <immintrin.h>

#include "stage_frame.h"
#include "../core/fast_path.h"

namespace {

using relvane::PixelBits;
using relvane::PixelWord;
using relvane::fast::colour_blend;

constexpr uint64_t kRgb = 0x0000000000FFFFFFu;
constexpr uint64_t kAlpha = 0x00000000FF000000u;
constexpr uint64_t kLight = 0x0000FFFF00000000u;
constexpr uint64_t kZ = 0xFFFF000000000000u;

PixelBits *bits(rv_Pixel *p) { return reinterpret_cast<PixelBits *>(p); }
const PixelBits *bits(const rv_Pixel *p) { return reinterpret_cast<const PixelBits *>(p); }

// to[k] takes from[k]'s bits under mask and keeps its others.
__attribute__((target_clones("avx2", "default")))
void merge_run(PixelBits *to, const PixelBits *from, int32_t n, uint64_t mask) {
    for (int32_t k = 0; k < n; ++k) to[k] = (to[k] & ~mask) | (from[k] & mask);
}

// to[k] takes value under mask and keeps its other bits.
__attribute__((target_clones("avx2", "default")))
void set_run(PixelBits *to, int32_t n, uint64_t mask, uint64_t value) {
    for (int32_t k = 0; k < n; ++k) to[k] = (to[k] & ~mask) | value;
}

__attribute__((target_clones("avx2", "default")))
void colour_write_run(const PixelWord *work, PixelWord *dst, int32_t n) {
    for (int32_t k = 0; k < n; ++k) {
        const uint32_t w = work[2 * k], i = work[2 * k + 1] & 0xFFFF, d = dst[2 * k];
        const uint32_t a = w >> 24;
        const uint32_t r = colour_blend(w & 0xFF, d & 0xFF, i, a);
        const uint32_t g = colour_blend((w >> 8) & 0xFF, (d >> 8) & 0xFF, i, a);
        const uint32_t b = colour_blend((w >> 16) & 0xFF, (d >> 16) & 0xFF, i, a);
        dst[2 * k] = (d & 0xFF000000u) | r | g << 8 | b << 16;
    }
}

// Bit k set when pixel k of the m (<= 64) pixels passes the height test.
template <bool Above>
inline bool passes(uint32_t w, uint32_t d) {
    return Above ? w >= d : w <= d;
}

template <bool Above>
__attribute__((target("avx2"))) uint64_t pass_bits(const rv_Pixel *work, const rv_Pixel *dst,
                                                   int32_t m) {
    uint64_t pass = 0;
    int32_t k = 0;
    for (; k + 4 <= m; k += 4) {
        const __m256i w = _mm256_srli_epi64(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(work + k)), 48);
        const __m256i d = _mm256_srli_epi64(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(dst + k)), 48);
        const __m256i fail = Above ? _mm256_cmpgt_epi64(d, w) : _mm256_cmpgt_epi64(w, d);
        const auto fails = static_cast<uint32_t>(_mm256_movemask_pd(_mm256_castsi256_pd(fail)));
        pass |= uint64_t{~fails & 0xFu} << k;
    }
    for (; k < m; ++k) pass |= uint64_t{passes<Above>(work[k].z, dst[k].z)} << k;
    return pass;
}

bool overlap(const rv_Pixel *a, const rv_Pixel *b, int32_t n) { return a < b + n && b < a + n; }

// The height test: each maximal passing sub-run goes to the rest of the chain,
// left to right. A chunk's bits are taken before the sub-runs in it are
// handed on; that gives the plain scan's result because the later stages
// change only their own sub-run's pixels (work and dst must not overlap).
template <bool Above>
bool height_test(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    rv_Pixel *const work = pipe->work;
    if (!relvane::fast::has_avx2() || overlap(work, dst, count)) return false;
    auto hand_on = [&](int32_t i, int32_t j) {
        pipe->work = work + i;
        relvane::call_next(pipe, index, src + i, dst + i, j - i);
    };
    int32_t start = -1;  // first pixel of the open sub-run, or -1
    for (int32_t base = 0; base < count; base += 64) {
        const int32_t m = count - base < 64 ? count - base : 64;
        const uint64_t pass = pass_bits<Above>(work + base, dst + base, m);
        const uint64_t fail = ~pass & (m == 64 ? ~uint64_t{0} : (uint64_t{1} << m) - 1);
        int32_t pos = 0;
        while (pos < m) {
            const uint64_t next = (start < 0 ? pass : fail) >> pos;
            if (!next) break;
            pos += __builtin_ctzll(next);
            if (start < 0) {
                start = base + pos;
            } else {
                hand_on(start, base + pos);
                start = -1;
            }
        }
    }
    if (start >= 0) hand_on(start, count);
    pipe->work = work;
    return true;
}

// Word access needs 8-byte aligned spans; otherwise the plain stage runs.
bool aligned(const rv_Pipe *pipe, const rv_Pixel *src, const rv_Pixel *dst) {
    return relvane::pixel_aligned(pipe->work) && relvane::pixel_aligned(src) &&
           relvane::pixel_aligned(dst);
}

// The frame of a stage: its pass over the run, then the rest of the chain.
template <typename Pass>
bool frame(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count,
           Pass pass) {
    if (!aligned(pipe, src, dst)) return false;
    pass();
    relvane::call_next(pipe, index, src, dst, count);
    return true;
}

}  // namespace

namespace relvane::fast {

bool stage_z_set(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    if (fused_chain(p, i, s, d, n)) return true;
    return frame(p, i, s, d, n, [&] { merge_run(bits(p->work), bits(s), n, kZ); });
}

bool stage_z_test_above(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    return height_test<true>(p, i, s, d, n);
}

bool stage_z_test_below(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    return height_test<false>(p, i, s, d, n);
}

bool stage_colour_fetch(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    return frame(p, i, s, d, n, [&] { merge_run(bits(p->work), bits(s), n, kRgb); });
}

bool stage_alpha_const(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    const uint64_t alpha = uint64_t{static_cast<uint8_t>(p->alpha)} << 24;
    return frame(p, i, s, d, n, [&] { set_run(bits(p->work), n, kAlpha, alpha); });
}

bool stage_light_const(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    const uint64_t light = uint64_t{static_cast<uint16_t>(p->light)} << 32;
    return frame(p, i, s, d, n, [&] { set_run(bits(p->work), n, kLight, light); });
}

bool stage_colour_write(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    return frame(p, i, s, d, n, [&] {
        colour_write_run(reinterpret_cast<const PixelWord *>(p->work), reinterpret_cast<PixelWord *>(d), n);
    });
}

bool stage_z_write(rv_Pipe *p, int32_t, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    if (!aligned(p, s, d)) return false;
    merge_run(bits(d), bits(p->work), n, kZ);
    return true;
}

}  // namespace relvane::fast
