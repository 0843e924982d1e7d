// Division of 32-bit values by a divisor fixed in advance, done as one
// multiplication: with m = ceil(2^64 / d), (n * m) >> 64 equals n / d for
// every 32-bit n and every d >= 2 (the error m * d - 2^64 is below d, and
// d <= 2^32). d = 1 would need m = 2^64 and is kept apart.
#pragma once

#include <cstdint>

namespace relvane {

struct ExactDivisor {
    uint64_t magic;  // ceil(2^64 / d); 0 for d = 1
};

inline ExactDivisor exact_divisor(uint32_t d) {
    return {d <= 1 ? 0 : UINT64_MAX / d + 1};
}

inline uint32_t divide(uint32_t n, ExactDivisor e) {
    if (e.magic == 0) return n;
    return static_cast<uint32_t>((static_cast<unsigned __int128>(n) * e.magic) >> 64);
}

}  // namespace relvane
