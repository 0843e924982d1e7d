// What the pipe stages share: the call of the next stage, the per-pixel
// frame, and the ways a new value combines with an old one.
#pragma once

#include <cstdint>
#include <type_traits>

#include "pipe.h"

namespace relvane {

inline void call_next(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst,
                      int32_t count) {
    pipe->stages[index + 1](pipe, index + 1, src, dst, count);
}

// The frame of every non-terminal stage except the height tests: one counted
// loop of op(work, src, dst) over the run, then the rest of the chain (called
// also for an empty run).
template <class Op>
inline void each_pixel(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst,
                       int32_t count, Op op) {
    rv_Pixel *const work = pipe->work;
    for (int32_t k = 0; k < count; ++k) op(work[k], src[k], dst[k]);
    call_next(pipe, index, src, dst, count);
}

// Type of a pixel field reached through a member pointer.
template <auto Field>
using FieldType = std::remove_reference_t<decltype(std::declval<rv_Pixel &>().*Field)>;

// Stores the low bits of v that fit the field.
template <auto Field>
inline void store(rv_Pixel &p, uint32_t v) {
    p.*Field = static_cast<FieldType<Field>>(v);
}

// Combining an old value d with a new value v (a: the pixel's working alpha).
// All arithmetic is unsigned 32-bit; fields are at most 16 bits wide, so no
// product of two fields leaves that range.
using Combine = uint32_t (*)(uint32_t d, uint32_t v, uint32_t a);

inline uint32_t combine_set(uint32_t, uint32_t v, uint32_t) { return v; }

template <uint32_t Max>
inline uint32_t combine_add(uint32_t d, uint32_t v, uint32_t) {
    const uint32_t s = d + v;
    return s > Max ? Max : s;
}

inline uint32_t combine_sub(uint32_t d, uint32_t v, uint32_t) { return d > v ? d - v : 0; }

template <unsigned Shift>
inline uint32_t combine_mul(uint32_t d, uint32_t v, uint32_t) { return (d * v) >> Shift; }

inline uint32_t combine_blend(uint32_t d, uint32_t v, uint32_t a) {
    return (v * a + d * (255 - a)) >> 8;
}

}  // namespace relvane
