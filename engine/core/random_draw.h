// The random generator's arithmetic, shared by rv_Random and every other
// drawer of random values (the terrain generator), so that all of them
// advance the context's two generators in exactly the same way.
#pragma once

#include <cstdint>

#include "context.h"

namespace relvane {

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
    uint32_t a = c->random_a * 1566083941u + 1u;
    c->random_a = a;
    uint32_t a1 = a * (a >> 16);

    uint32_t p = c->random_b * 16807u;
    uint32_t b = p < 4294967294u ? p - 1u : p + 1u;
    c->random_b = b;
    return {a1, b};
}

// Weighted blend of the two outputs scaled to the range of divisor d, where
// quotient(x) is x / d (the fast paths divide by multiplication).
// A mix of 16384 weighs as 16383 so that the result stays below the range.
template <typename Quotient>
inline uint32_t random_blend_by(RandomOutputs r, Quotient quotient, uint32_t mix) {
    uint32_t wa = mix > 16383u ? 16383u : mix;
    return (quotient(r.a1) * wa + quotient(r.b) * (16383u - wa)) >> 14;
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

}  // namespace relvane
