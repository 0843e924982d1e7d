// The false colours of the height, light and profile views for one pixel at
// a time, for the plain display code and the fast paths' row tails.
#pragma once

#include <cstdint>

#include "../core/lanes.h"

namespace relvane {

namespace plain {
using namespace lanes;
#include "false_colours-inl.h"
}  // namespace plain

// Channels of one false-colour pixel, each 0..255.
struct FalseColour {
    int32_t r, g, b;
};

// The height colour of the wrapped 32-bit product t = z * scale; false
// (leave the pixel) where t < 0, below the ramp.
inline bool height_colour(int32_t t, FalseColour &c) {
    const int32_t q = t >> 12;
    if (t < 0) return false;
    const int32_t i = plain::Min(q, 1023);
    c = {plain::height_red(i, 512, 0, 255), plain::height_green(q > 1023, i, 256, 0, 255),
         plain::height_blue(i, 511, 768, 0)};
    return true;
}

inline FalseColour light_colour(int32_t light) {
    return {plain::light_red(light, 256, 0, 255), plain::light_green(light, 255),
            plain::light_blue(light > 511, 255)};
}

inline int32_t profile_green(int32_t z, int32_t n, int32_t k) {
    return plain::profile_green(z, n, k, 65535, 255, 256);
}

}  // namespace relvane
