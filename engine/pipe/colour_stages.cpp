// Colour stages: the fetch into the work span and the colour writes.
#include "stage_frame.h"
#include "stage_steps.h"
#include "stages_fast.h"
#include "../core/fast_path.h"

namespace relvane {
namespace {

// One pass over the run for one channel, when its write bit is set.
template <auto Channel>
inline void channel_pass(const rv_Pipe *pipe, uint32_t bit, rv_Pixel *dst, int32_t count) {
    if (!(pipe->flags & bit)) return;
    const rv_Pixel *const work = pipe->work;
    for (int32_t k = 0; k < count; ++k) blend_channel<Channel>(work[k], dst[k]);
}

}  // namespace
}  // namespace relvane

using namespace relvane;

RELVANE_PLAIN_KERNEL(stage_ColourFetch) {
    each_pixel(p, i, s, d, n, [](rv_Pixel &w, const rv_Pixel &sp, const rv_Pixel &) {
        w.red = sp.red;
        w.green = sp.green;
        w.blue = sp.blue;
    });
}

RELVANE_PLAIN_KERNEL(stage_ColourWrite) {
    each_pixel(p, i, s, d, n, [](rv_Pixel &w, const rv_Pixel &, rv_Pixel &dp) {
        blend_channel<&rv_Pixel::red>(w, dp);
        blend_channel<&rv_Pixel::green>(w, dp);
        blend_channel<&rv_Pixel::blue>(w, dp);
    });
}

extern "C" {

void rv_StageColourFetch(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    fast::stage_ColourFetch(p, i, s, d, n);
}

void rv_StageColourWrite(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    fast::stage_ColourWrite(p, i, s, d, n);
}

// One or two channels: the write bits are read once per run, not per pixel.
void rv_StageColourWriteMasked(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    channel_pass<&rv_Pixel::red>(p, RV_PIPE_WRITE_RED, d, n);
    channel_pass<&rv_Pixel::green>(p, RV_PIPE_WRITE_GREEN, d, n);
    channel_pass<&rv_Pixel::blue>(p, RV_PIPE_WRITE_BLUE, d, n);
    call_next(p, i, s, d, n);
}

}  // extern "C"
