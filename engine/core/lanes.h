// The scalar side of the lane operations that the shared formulas use. A
// formula written once as a template over its value type serves the plain
// code with uint32_t (or int32_t) and the fast paths with vectors: the names
// are the vector library's own, which argument-dependent lookup finds for
// vector types and these overloads serve for plain integers.
#pragma once

#include <cstdint>
#include <type_traits>

// Marks a shared formula. Formulas live in "-inl.h" files that each user
// includes inside its own namespace: a vector operation can only be inlined
// into a function compiled for its instruction set, so each fast path's copy
// is compiled inside that target's region.
#define RELVANE_FORMULA [[gnu::always_inline]] inline

namespace relvane::lanes {

template <int k, typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T ShiftRight(T v) { return static_cast<T>(v >> k); }
template <int k, typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T ShiftLeft(T v) { return static_cast<T>(v << k); }

template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T Min(T a, T b) { return a < b ? a : b; }
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T Max(T a, T b) { return a > b ? a : b; }

template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T IfThenElse(bool m, T yes, T no) { return m ? yes : no; }
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T IfThenZeroElse(bool m, T no) { return m ? T{0} : no; }
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T IfThenElseZero(bool m, T yes) { return m ? yes : T{0}; }

}  // namespace relvane::lanes
