// The scalar side of the lane operations that the shared formulas use. A
// formula written once as a template over its value type serves the plain
// code with uint32_t (or int32_t) and the fast paths with vectors: the names
// are the vector library's own, which argument-dependent lookup finds for
// vector types and these overloads serve for plain integers.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

// Marks a shared formula. Formulas live in "-inl.h" files (templates only)
// that each user includes inside a namespace of its own: a vector operation
// can only be inlined into a function compiled for its instruction set, so
// each fast path includes the formulas inside its target's namespace, after
// `using namespace hwy::HWY_NAMESPACE`, and the plain code inside
// relvane::plain, after `using namespace lanes`. The formulas call every
// operation unqualified.
#define RELVANE_FORMULA [[gnu::always_inline]] inline

namespace relvane::lanes {

// Formulas use these names rather than operators: some targets' vectors
// (sizeless ones) have no operators, and cannot be record members either,
// so formulas take every value as a parameter of its own.
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T Add(T a, T b) { return static_cast<T>(a + b); }
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T Sub(T a, T b) { return static_cast<T>(a - b); }
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T Mul(T a, T b) { return static_cast<T>(a * b); }
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T And(T a, T b) { return static_cast<T>(a & b); }
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr T Or(T a, T b) { return static_cast<T>(a | b); }

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

// Comparisons give the plain code's masks: plain bools.
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr bool Lt(T a, T b) { return a < b; }
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr bool Gt(T a, T b) { return a > b; }
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
constexpr bool Eq(T a, T b) { return a == b; }

// Single precision, one rounding per operation (no fused steps).
inline float Add(float a, float b) { return a + b; }
inline float Mul(float a, float b) { return a * b; }
inline float Sqrt(float v) { return std::sqrt(v); }

}  // namespace relvane::lanes
