// Height stages: the new height, the height tests and the terminals.
#include "stage_frame.h"
#include "stage_steps.h"
#include "stages_fast.h"
#include "../core/fast_path.h"

namespace relvane {
namespace {

// work.z from the destination height and the source height.
template <Combine Op>
void height_op(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    each_pixel(pipe, index, src, dst, count,
               [](rv_Pixel &w, const rv_Pixel &s, const rv_Pixel &d) { new_height<Op>(w, s, d); });
}

// Runs the rest of the chain once on each maximal sub-run of passing pixels,
// left to right, with src, dst and work moved to its first pixel. A sub-run's
// length is settled before the rest of the chain sees it.
template <bool (*Pass)(uint32_t w, uint32_t d)>
void height_test(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    rv_Pixel *const work = pipe->work;
    int32_t start = 0;
    for (;;) {
        while (start < count && !Pass(work[start].z, dst[start].z)) ++start;
        if (start >= count) break;
        int32_t end = start + 1;
        while (end < count && Pass(work[end].z, dst[end].z)) ++end;
        pipe->work = work + start;
        call_next(pipe, index, src + start, dst + start, end - start);
        start = end;
    }
    pipe->work = work;
}

}  // namespace
}  // namespace relvane

using namespace relvane;

RELVANE_PLAIN_KERNEL(stage_ZSet) { height_op<combine_set>(p, i, s, d, n); }
RELVANE_PLAIN_KERNEL(stage_ZTestAbove) { height_test<at_or_above>(p, i, s, d, n); }
RELVANE_PLAIN_KERNEL(stage_ZTestBelow) { height_test<at_or_below>(p, i, s, d, n); }
RELVANE_PLAIN_KERNEL(stage_ZWrite) {
    (void)i, (void)s;  // a terminal reads neither
    const rv_Pixel *const work = p->work;
    for (int32_t k = 0; k < n; ++k) write_height(work[k], d[k]);
}

extern "C" {

void rv_StageZSet(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) { fast::stage_ZSet(p, i, s, d, n); }
void rv_StageZAdd(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    height_op<combine_add<65535>>(p, i, s, d, n);
}
void rv_StageZSub(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    height_op<combine_sub>(p, i, s, d, n);
}
// 4096 is the factor 1.0; the result keeps its low 16 bits.
void rv_StageZMul(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    height_op<combine_mul<12>>(p, i, s, d, n);
}

void rv_StageZTestAbove(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    fast::stage_ZTestAbove(p, i, s, d, n);
}
void rv_StageZTestBelow(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    fast::stage_ZTestBelow(p, i, s, d, n);
}

// The terminal reads neither the source nor the index.
void rv_StageZWrite(rv_Pipe *p, int32_t, const rv_Pixel *, rv_Pixel *d, int32_t n) {
    fast::stage_ZWrite(p, 0, nullptr, d, n);
}

void rv_StageEnd(rv_Pipe *, int32_t, const rv_Pixel *, rv_Pixel *, int32_t) {}

}  // extern "C"
