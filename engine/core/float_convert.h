// Saturating float-to-integer conversion: truncates toward zero like a plain
// cast, but NaN gives 0 and values beyond the integer's range give its
// nearest limit, so no conversion is ever undefined.
#pragma once

#include <limits>
#include <type_traits>

namespace relvane {

template <typename Int, typename Float>
inline Int saturate_trunc(Float v) {
    static_assert(std::is_integral_v<Int> && std::is_floating_point_v<Float>);
    using L = std::numeric_limits<Int>;
    // 2^digits: one past the largest value, exact in any binary float.
    const Float past_max = static_cast<Float>(L::max() / 2 + 1) * Float(2);
    if (v != v) return 0;
    if (v >= past_max) return L::max();
    if (v <= static_cast<Float>(L::min())) return L::min();
    return static_cast<Int>(v);
}

}  // namespace relvane
