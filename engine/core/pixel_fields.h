// Field-by-field moves between runs of pixels: one tight pass per selected
// field (RV_FIELD_*), in the order red, green, blue, alpha, light, z.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "pixel.h"

namespace relvane {

// One pass moving a single field over n pixels. Step is 1 for a run of
// source pixels and 0 for one value repeated. A backwards pass lets a run
// move onto an overlapping later position, as memmove does.
template <auto Field, ptrdiff_t Step>
inline void move_field(rv_Pixel *dst, const rv_Pixel *src, int32_t n, bool backwards) {
    if (backwards) {
        for (int32_t i = n - 1; i >= 0; --i) dst[i].*Field = src[i * Step].*Field;
    } else {
        for (int32_t i = 0; i < n; ++i) dst[i].*Field = src[i * Step].*Field;
    }
}

// Moves the fields selected by mask; unselected fields of dst stay.
template <ptrdiff_t Step>
inline void move_fields(uint32_t mask, rv_Pixel *dst, const rv_Pixel *src, int32_t n,
                        bool backwards) {
    if (mask & RV_FIELD_RED) move_field<&rv_Pixel::red, Step>(dst, src, n, backwards);
    if (mask & RV_FIELD_GREEN) move_field<&rv_Pixel::green, Step>(dst, src, n, backwards);
    if (mask & RV_FIELD_BLUE) move_field<&rv_Pixel::blue, Step>(dst, src, n, backwards);
    if (mask & RV_FIELD_ALPHA) move_field<&rv_Pixel::alpha, Step>(dst, src, n, backwards);
    if (mask & RV_FIELD_LIGHT) move_field<&rv_Pixel::light, Step>(dst, src, n, backwards);
    if (mask & RV_FIELD_Z) move_field<&rv_Pixel::z, Step>(dst, src, n, backwards);
}

// The bytes of a pixel's 8-byte image that the fields selected by mask cover.
inline uint64_t field_bytes(uint32_t mask) {
    rv_Pixel p{};
    p.red = mask & RV_FIELD_RED ? 0xFF : 0;
    p.green = mask & RV_FIELD_GREEN ? 0xFF : 0;
    p.blue = mask & RV_FIELD_BLUE ? 0xFF : 0;
    p.alpha = mask & RV_FIELD_ALPHA ? 0xFF : 0;
    p.light = mask & RV_FIELD_LIGHT ? 0xFFFF : 0;
    p.z = mask & RV_FIELD_Z ? 0xFFFF : 0;
    uint64_t bytes;
    std::memcpy(&bytes, &p, sizeof bytes);
    return bytes;
}

}  // namespace relvane
