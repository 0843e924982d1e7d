// The water blend for one pixel at a time, shared by the plain code and the
// fast path's row tails.
#pragma once

#include "../core/lanes.h"
#include "../core/pixel.h"

namespace relvane {

namespace plain {
using namespace lanes;
#include "water_blend-inl.h"
}  // namespace plain

// The water's values for one pixel.
struct Water {
    uint32_t red, green, blue, light, alpha, level, f;
};

inline Water water_values(const rv_Pixel &w, int32_t depth) {
    return {w.red, w.green, w.blue, w.light, w.alpha, w.z,
            depth > 0 ? 65536u / static_cast<uint32_t>(depth) : 65536u};
}

// One pixel: the whole blend, for the plain code and the fast path's tails.
inline void water_pixel(const Water &w, rv_Pixel &p) {
    if (p.z > w.level) return;
    const uint32_t alpha = plain::water_weight<uint32_t>(p.z, false, w.level, w.alpha, w.f, 256);
    const uint32_t beta = 256 - alpha;
    p.red = static_cast<uint8_t>(plain::water_mix<uint32_t>(w.red, p.red, alpha, beta));
    p.green = static_cast<uint8_t>(plain::water_mix<uint32_t>(w.green, p.green, alpha, beta));
    p.blue = static_cast<uint8_t>(plain::water_mix<uint32_t>(w.blue, p.blue, alpha, beta));
    p.light = static_cast<uint16_t>(plain::water_mix<uint32_t>(w.light, p.light, alpha, beta));
}

}  // namespace relvane
