#include <gtest/gtest.h>

#include <random>

#include "core/divide_exact.h"

namespace {

using relvane::divide;
using relvane::exact_divisor;

// The values around every multiple boundary that matters for one divisor.
void expect_exact(uint32_t d, uint32_t n) {
    ASSERT_EQ(divide(n, exact_divisor(d)), n / d) << n << " / " << d;
}

void expect_edges(uint32_t d) {
    const uint32_t top = UINT32_MAX / d * d;  // largest multiple of d
    for (uint32_t n : {0u, 1u, d - 1, d, d + 1, top - 1, top, UINT32_MAX, UINT32_MAX - 1})
        expect_exact(d, n);
}

TEST(DivideExact, EveryDivisorOfTheRandomRanges) {
    // rv_Random divides by 4294967295 / range; ranges up to 2^18 cover all
    // the terrain and the test program ask for.
    for (uint32_t range = 1; range <= (1u << 18); range++) expect_edges(UINT32_MAX / range);
}

TEST(DivideExact, SmallAndPowerOfTwoDivisors) {
    for (uint32_t d = 1; d <= 70000; d++) expect_edges(d);
    for (int s = 0; s < 32; s++) {
        expect_edges(1u << s);
        expect_edges((1u << s) + 1);
        if (s > 1) expect_edges((1u << s) - 1);
    }
}

TEST(DivideExact, SeededRandomPairs) {
    std::mt19937 rng(1234);
    for (int i = 0; i < 2000000; i++) {
        const uint32_t d = rng() >> (rng() % 32);
        expect_exact(d == 0 ? 1 : d, rng());
    }
}

}  // namespace
