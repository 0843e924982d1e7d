// Float-to-integer conversions that never leave the integer's range.
// A plain cast of an out-of-range float is undefined, so every conversion of
// a caller's float goes through these. In range they truncate toward zero,
// exactly as a cast does.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace relvane {

// Truncation toward zero, saturating at the ends of the 32-bit range.
// NaN gives INT32_MIN: as a low edge it clips up to 0 and as a high edge it
// leaves an empty range, so a NaN coordinate draws nothing.
template <typename F>
inline int32_t trunc_to_i32(F v) {
    const double d = static_cast<double>(v);  // exact for float and double
    if (!(d > -2147483649.0)) return INT32_MIN;  // also NaN
    if (d >= 2147483648.0) return INT32_MAX;
    return static_cast<int32_t>(d);
}

// A signed value held to 0..65535.
inline uint16_t clamp_u16(int64_t v) {
    return static_cast<uint16_t>(v < 0 ? 0 : v > 65535 ? 65535 : v);
}

// Truncation toward zero, then held to 0..65535 (heights). NaN gives 0.
template <typename F>
inline uint16_t trunc_to_u16(F v) {
    return clamp_u16(trunc_to_i32(v));
}

// A double rounded to single precision, as a cast rounds it, except that a
// value beyond the float range becomes an infinity (a plain cast of it is
// undefined).
inline float narrow_to_float(double v) {
    if (std::isnan(v) || std::fabs(v) < 0x1.ffffffp+127) return static_cast<float>(v);
    const float inf = std::numeric_limits<float>::infinity();
    return v > 0 ? inf : -inf;
}

}  // namespace relvane
