// The random generator's arithmetic, shared by rv_Random and every other
// drawer of random values (the terrain generator), so that all of them
// advance the context's two generators in exactly the same way.
#pragma once

#include <cstdint>

#include "context.h"
#include "divide_exact.h"
#include "lanes.h"

namespace relvane {

namespace plain {
using namespace lanes;
#include "random_draw-inl.h"
}  // namespace plain

// An affine step x -> m x + c.
struct Affine {
    uint32_t m, c;
};

// The step `first` then the step `next`, as one step.
constexpr Affine then(Affine first, Affine next) { return {next.m * first.m, next.m * first.c + next.c}; }

// The step taken k times over.
constexpr Affine step_power(Affine step, uint64_t k) {
    Affine r{1, 0};
    for (; k != 0; k >>= 1, step = then(step, step))
        if (k & 1) r = then(r, step);
    return r;
}

// Generator A's step, and generator B's usual step 16807 b - 1.
constexpr Affine kStepA{1566083941u, 1u};
constexpr Affine kUsualStepB{16807u, 0xFFFFFFFFu};

// Multiplicative inverse of an odd number modulo 2^32 (Newton's iteration).
constexpr uint32_t inverse_of_odd(uint32_t m) {
    uint32_t x = m;
    for (int i = 0; i < 5; i++) x *= 2u - m * x;
    return x;
}

// The two states of generator B that do not take the usual step: their
// products wrap to 4294967294 and 4294967295.
constexpr uint32_t kUnusualB1 = 4294967294u * inverse_of_odd(16807u);
constexpr uint32_t kUnusualB2 = 4294967295u * inverse_of_odd(16807u);
static_assert(kUnusualB1 * 16807u == 4294967294u && kUnusualB2 * 16807u == 4294967295u);

inline bool unusual_b(uint32_t b) { return b == kUnusualB1 || b == kUnusualB2; }

// The number of B's usual steps from state b to state u, or -1 if they
// never lead there. The usual step f(x) = m x - 1 (m = 16807) is a product
// in disguise: g(x) = (m - 1) x - 1 modulo 2^33 (odd, and one-to-one on
// 32-bit states) takes f(x) to m g(x). So f^k(b) = u exactly when m^k =
// g(u) / g(b), a power of m, whose order is 2^30: its exponent is found a
// bit at a time, from the lowest.
constexpr int64_t usual_steps_b(uint32_t b, uint32_t u) {
    constexpr uint64_t mask = (uint64_t{1} << 33) - 1, m = 16807;
    constexpr int order_bits = 30;
    const auto g = [](uint32_t x) { return ((m - 1) * x - 1) & mask; };
    const auto inverse = [](uint64_t x) {  // of an odd x modulo 2^33
        uint64_t y = x;
        for (int i = 0; i < 6; i++) y = (y * (2 - x * y)) & mask;
        return y;
    };
    const auto power = [](uint64_t x, uint64_t e) {
        uint64_t r = 1;
        for (; e != 0; e >>= 1, x = (x * x) & mask)
            if (e & 1) r = (r * x) & mask;
        return r;
    };
    const uint64_t target = (g(u) * inverse(g(b))) & mask;
    uint64_t k = 0, rest = target, step_back = inverse(m);  // rest = target / m^k; step_back = m^-(2^i)
    for (int i = 0; i < order_bits; i++, step_back = (step_back * step_back) & mask) {
        if (power(rest, uint64_t{1} << (order_bits - 1 - i)) != 1) {
            k |= uint64_t{1} << i;
            rest = (rest * step_back) & mask;
        }
    }
    return rest == 1 ? static_cast<int64_t>(k) : -1;
}

// Whether n draws from B's state b meet a state that does not take the
// usual step.
constexpr bool usual_steps_meet_unusual_b(uint32_t b, int64_t n) {
    const int64_t k1 = usual_steps_b(b, kUnusualB1), k2 = usual_steps_b(b, kUnusualB2);
    return (k1 >= 0 && k1 < n) || (k2 >= 0 && k2 < n);
}

// Divisor that maps a 32-bit output onto 0..range; 0 for an empty range.
inline uint32_t random_divisor(uint32_t range) {
    return range == 0 ? 0u : 4294967295u / range;
}

// Advances both generators one step. a1 is generator A's output, b is
// generator B's new state (its output).
struct RandomOutputs {
    uint32_t a1;
    uint32_t b;
};

inline RandomOutputs random_advance(rv_Context *c) {
    const uint32_t a = plain::affine_step(c->random_a, kStepA.m, kStepA.c);
    c->random_a = a;

    const uint32_t p = c->random_b * 16807u;
    const uint32_t b = p < 4294967294u ? p - 1u : p + 1u;
    c->random_b = b;
    return {plain::output_a(a), b};
}

// Generator A's weight out of 16383: a mix of 16384 weighs as 16383 so that
// the result stays below the range.
inline uint32_t random_weight(uint32_t mix) { return mix > 16383u ? 16383u : mix; }

// Weighted blend of the two outputs scaled to the range of divisor d, where
// quotient(x) is x / d (the fast paths divide by multiplication).
template <typename Quotient>
inline uint32_t random_blend_by(RandomOutputs r, Quotient quotient, uint32_t mix) {
    const uint32_t wa = random_weight(mix);
    return plain::blend_quotients(quotient(r.a1), quotient(r.b), wa, 16383u - wa);
}

// A divisor of 0 (empty range) gives 0.
inline uint32_t random_blend(RandomOutputs r, uint32_t d, uint32_t mix) {
    if (d == 0) return 0;
    return random_blend_by(r, [d](uint32_t x) { return x / d; }, mix);
}

// One draw in 0..range-1, given the range's divisor.
inline uint32_t random_draw(rv_Context *c, uint32_t d) {
    return random_blend(random_advance(c), d, c->random_mix);
}

// One displacement draw - a in -a..a, the quotient by multiplication (e is
// the exact divisor of the range 2a's divisor); 0 when a is 0.
inline int32_t random_displacement(rv_Context *c, int32_t a, ExactDivisor e) {
    const RandomOutputs r = random_advance(c);
    if (a == 0) return 0;
    const uint32_t draw = random_blend_by(r, [e](uint32_t x) { return divide(x, e); }, c->random_mix);
    return static_cast<int32_t>(draw) - a;
}

}  // namespace relvane
