// Fast paths of the hot pipe stages. Each does the whole stage, the call of
// the rest of the chain included, and returns true; false leaves the stage
// to its plain code.
#pragma once

#include "pipe.h"

namespace relvane::fast {

// The colour write's blend of one channel s over d with light i and alpha a:
// t > 65535 exactly when t >> 8 exceeds 255.
inline uint32_t colour_blend(uint32_t s, uint32_t d, uint32_t i, uint32_t a) {
    const uint32_t t = ((s * i * a) >> 8) + d * (255 - a);
    const uint32_t c = t >> 8;
    return c < 255 ? c : 255;
}

// The whole chain from a height-set stage in slot index when the slots after
// it hold the test program's chain (any height test); false otherwise.
bool fused_chain(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count);

bool stage_z_set(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count);
bool stage_z_test_above(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst,
                        int32_t count);
bool stage_z_test_below(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst,
                        int32_t count);
bool stage_colour_fetch(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst,
                        int32_t count);
bool stage_alpha_const(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst,
                       int32_t count);
bool stage_light_const(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst,
                       int32_t count);
bool stage_colour_write(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst,
                        int32_t count);
bool stage_z_write(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count);

}  // namespace relvane::fast
