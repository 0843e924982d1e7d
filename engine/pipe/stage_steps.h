// Each stage's work on one pixel, written once: the plain stages do it over
// their run, the fused chain's tails take one pixel through its whole chain.
// w is the pixel's entry in the work span, s its source, d its destination.
#pragma once

#include <cstdint>

#include "colour_blend.h"
#include "stage_frame.h"

namespace relvane {

// Height operations: the new height from the destination's and the source's.
template <Combine Op>
inline void new_height(rv_Pixel &w, const rv_Pixel &s, const rv_Pixel &d) {
    store<&rv_Pixel::z>(w, Op(d.z, s.z, 0));
}

// Height tests of the new height w against the destination's d.
inline bool at_or_above(uint32_t w, uint32_t d) { return w >= d; }
inline bool at_or_below(uint32_t w, uint32_t d) { return w <= d; }

inline void fetch_colour(rv_Pixel &w, const rv_Pixel &s) {
    w.red = s.red;
    w.green = s.green;
    w.blue = s.blue;
}

// Alpha and light sources: the pipe's parameter, or a source's or
// destination's field scaled by it (>> 8), keeping the low bits. The
// parameter is taken as its 32-bit pattern and the product wraps modulo
// 2^32; the stored low bits are the same as signed arithmetic would give.
template <auto Field>
inline void take_param(rv_Pixel &w, uint32_t param) {
    store<Field>(w, param);
}
template <auto Field>
inline void take_scaled(rv_Pixel &w, const rv_Pixel &from, uint32_t param) {
    store<Field>(w, (static_cast<uint32_t>(from.*Field) * param) >> 8);
}

// Colour writes: a channel of w blended over d's with w's alpha and light.
template <auto Channel>
inline void blend_channel(const rv_Pixel &w, rv_Pixel &d) {
    d.*Channel = static_cast<uint8_t>(
        plain::colour_blend<uint32_t>(w.*Channel, d.*Channel, w.light, w.alpha, 255));
}
inline void write_colour(const rv_Pixel &w, rv_Pixel &d) {
    blend_channel<&rv_Pixel::red>(w, d);
    blend_channel<&rv_Pixel::green>(w, d);
    blend_channel<&rv_Pixel::blue>(w, d);
}

// Alpha and light writes: d's field = Op(d's field, w's, w's alpha), low bits.
template <auto Field, Combine Op>
inline void write_field(const rv_Pixel &w, rv_Pixel &d) {
    store<Field>(d, Op(d.*Field, w.*Field, w.alpha));
}

inline void write_height(const rv_Pixel &w, rv_Pixel &d) { d.z = w.z; }

}  // namespace relvane
