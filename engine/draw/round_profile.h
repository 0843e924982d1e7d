// The round shapes' height profiles for one pixel at a time, shared by the
// plain code and the fast paths' row tails.
#pragma once

#include <cmath>
#include <cstdint>

#include "../core/float_convert.h"
#include "../core/lanes.h"

namespace relvane {

// The scalar side of the floating-point lane operations the profiles use.
namespace float_lanes {
template <typename F, typename = std::enable_if_t<std::is_floating_point_v<F>>>
inline F Add(F a, F b) { return a + b; }
template <typename F, typename = std::enable_if_t<std::is_floating_point_v<F>>>
inline F Sub(F a, F b) { return a - b; }
template <typename F, typename = std::enable_if_t<std::is_floating_point_v<F>>>
inline F Mul(F a, F b) { return a * b; }
template <typename F, typename = std::enable_if_t<std::is_floating_point_v<F>>>
inline F Div(F a, F b) { return a / b; }
// sqrtf for float: the correctly rounded single-precision root.
template <typename F, typename = std::enable_if_t<std::is_floating_point_v<F>>>
inline F Sqrt(F v) { return std::sqrt(v); }
}  // namespace float_lanes

namespace plain {
using namespace lanes;
using namespace float_lanes;
#include "round_profile-inl.h"
}  // namespace plain

// A shape's height at distance d from the centre, truncated and held to
// 0..65535 (NaN stores 0); uses_distance false skips computing d.
struct FlatProfile {
    static constexpr bool uses_distance = false;
    uint16_t z;
    uint16_t operator()(float) const { return z; }
};

struct ConeProfile {
    static constexpr bool uses_distance = true;
    float top, h, r;
    uint16_t operator()(float d) const { return trunc_to_u16(plain::cone_height(d, top, h, r)); }
    static ConeProfile of(uint16_t zb, float r, float h) { return {static_cast<float>(zb) + h, h, r}; }
};

struct DomeProfile {
    static constexpr bool uses_distance = true;
    float k, r2, zb;  // k: h * 256 / r in double, rounded once
    uint16_t operator()(float d) const { return trunc_to_u16(plain::dome_height(d, k, r2, zb)); }
    static DomeProfile of(uint16_t zb, float r, float h) {
        return {narrow_to_float(static_cast<double>(h) * 256.0 / static_cast<double>(r)), r * r,
                static_cast<float>(zb)};
    }
};

struct ParaboloidProfile {
    static constexpr bool uses_distance = true;
    float r, h;
    double zb;
    uint16_t operator()(float d) const {
        const float t = plain::paraboloid_fall(d, r, h);
        return trunc_to_u16(plain::paraboloid_height(static_cast<double>(t), 256.0, zb));
    }
    static ParaboloidProfile of(uint16_t zb, float r, float h) { return {r, h, static_cast<double>(zb)}; }
};

}  // namespace relvane
