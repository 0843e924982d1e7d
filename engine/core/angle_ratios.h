// The view and light angles turned into the fixed-point ratios the tilted
// view and the lighting passes step by. Each is one double-precision sine,
// cosine or tangent truncated toward zero, so these few lines are all that
// the C library's trigonometry decides.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

#include "../core/float_convert.h"

namespace relvane {

// Sine and cosine of the view angle in 16.16 fixed point.
struct ViewSlope {
    int32_t s, c;
};

// The angle is held to 0..90 degrees (NaN shows the side view, 0).
inline ViewSlope view_slope(float angle) {
    if (!(angle >= 0.0f)) angle = 0.0f;
    if (angle > 90.0f) angle = 90.0f;
    const float doubled = angle + angle;
    const auto theta = static_cast<float>(static_cast<double>(doubled) * std::numbers::pi / 360.0);
    const double t = theta;
    return {trunc_to_i32(std::sin(t) * 65536.0), trunc_to_i32(std::cos(t) * 65536.0)};
}

// Rise (1/256) per diagonal step of a slope facing a light of this
// elevation head-on. Elevations below 1 degree count as 1; NaN counts as a
// light overhead.
inline int64_t slope_rise(float elevation) {
    const float alpha = elevation < 1.0f    ? 89.0f
                        : elevation >= 1.0f ? 90.0f - elevation
                                            : 0.0f;
    const double angle = static_cast<double>(alpha + alpha) * std::numbers::pi / 360.0;
    return trunc_to_i32(std::tan(angle) * 256.0);
}

// Fall (1/256, negative) of the shadow line per diagonal step.
inline int64_t shadow_fall(float elevation) {
    const double angle = static_cast<double>(elevation + elevation) * std::numbers::pi / -360.0;
    return trunc_to_i32(std::tan(angle) * 256.0);
}

}  // namespace relvane
