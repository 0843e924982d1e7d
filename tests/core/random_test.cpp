// The two-generator random source.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "relvane.h"
#include "core/random_draw.h"

namespace {

std::vector<uint32_t> draws(double mix, uint32_t range, int n) {
    rv_Context *c = rv_NewContext();
    rv_ResetRandom(c, mix);
    std::vector<uint32_t> out;
    for (int i = 0; i < n; ++i) out.push_back(rv_Random(c, range));
    rv_FreeContext(c);
    return out;
}

TEST(Random, KnownSequences) {
    EXPECT_EQ(draws(0.0, 100, 8), (std::vector<uint32_t>{5, 17, 37, 43, 38, 56, 97, 38}));
    EXPECT_EQ(draws(0.5, 100, 8), (std::vector<uint32_t>{50, 31, 18, 59, 34, 74, 80, 61}));
}

TEST(Random, ResetSetsStatesAndMix) {
    const struct {
        double m;
        uint32_t mix;
    } cases[] = {{-0.5, 0}, {2.0, 16384}, {0.25, 4096}, {1.0, 16384}, {0.5, 8192},
                 {0.8586780, 14068}, {0.0, 0}};
    rv_Context *c = rv_NewContext();
    for (auto k : cases) {
        c->random_a = c->random_b = 1;
        rv_ResetRandom(c, k.m);
        EXPECT_EQ(c->random_mix, k.mix) << k.m;
        EXPECT_EQ(c->random_a, 16576u);
        EXPECT_EQ(c->random_b, 16576u);
    }
    rv_FreeContext(c);
}

TEST(Random, EmptyRangeGivesZeroAndStillAdvances) {
    rv_Context *a = rv_NewContext();
    rv_Context *b = rv_NewContext();
    rv_ResetRandom(a, 0.3);
    rv_ResetRandom(b, 0.3);
    EXPECT_EQ(rv_Random(a, 0), 0u);
    rv_Random(b, 12345);
    EXPECT_EQ(a->random_a, b->random_a);
    EXPECT_EQ(a->random_b, b->random_b);
    rv_FreeContext(a);
    rv_FreeContext(b);
}

// Generator B's step: p - 1 below 4294967294, p + 1 from there on.
TEST(Random, GeneratorBWrapsAtTheTop) {
    rv_Context *c = rv_NewContext();
    const struct {
        uint32_t state, next;
    } cases[] = {{16576, 16576u * 16807u - 1u}, {0, 0xFFFFFFFFu}};
    for (auto k : cases) {
        c->random_b = k.state;
        rv_Random(c, 10);
        EXPECT_EQ(c->random_b, k.next) << k.state;
    }
    rv_FreeContext(c);
}

// The count of B's usual steps between two states, against the steps
// taken: near and far (its orbits are 2^30 long), and none off the orbit.
TEST(Random, UsualStepsOfBCountedBackFromTheirEnd) {
    std::mt19937 rng(9);
    for (int t = 0; t < 20000; ++t) {
        const uint32_t b = rng();
        const uint64_t k = t % 2 ? rng() % 5000 : rng() % (1u << 30);
        const relvane::Affine jump = relvane::step_power(relvane::kUsualStepB, k);
        ASSERT_EQ(relvane::usual_steps_b(b, jump.m * b + jump.c), int64_t(k)) << b;
        // two apart: the quotient of their images is 5 modulo 8, no power of m
        const int64_t back = relvane::usual_steps_b(b, b ^ 2u);
        ASSERT_EQ(back, -1) << b;
    }
}

// Results stay in range for every mix, the full weight included.
TEST(Random, ResultsStayInRangeForEveryMix) {
    std::mt19937 rng(1234);
    rv_Context *c = rv_NewContext();
    for (double mix : {0.0, 0.37, 0.9999, 1.0, 3.0}) {
        rv_ResetRandom(c, mix);
        for (int i = 0; i < 20000; ++i) {
            const uint32_t range = 1 + rng() % 262160;
            ASSERT_LT(rv_Random(c, range), range) << "mix " << mix << " range " << range;
        }
    }
    rv_FreeContext(c);
}

TEST(Random, SameMixSameSequenceAcrossContexts) {
    EXPECT_EQ(draws(0.123, 1000, 50), draws(0.123, 1000, 50));
    EXPECT_NE(draws(0.123, 1000, 50), draws(0.124, 1000, 50));
}

}  // namespace
