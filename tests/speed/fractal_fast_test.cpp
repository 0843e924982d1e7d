#if RELVANE_SIMD
#include "fast_compare.h"

namespace {

// Parameters around the test program's (step 128, 60, 220, 0.42), with
// zero, tiny, huge, negative and non-power-of-two values mixed in.
struct Params {
    int32_t step;
    float base, amplitude, roughness;
    double mix;
    explicit Params(std::mt19937 &rng) {
        const int32_t steps[] = {1, 2, 4, 6, 8, 16, 32, 128, 0, -3};
        step = steps[rng() % 10];
        base = float(rng() % 300);
        amplitude = rng() % 8 == 0 ? 0.0f : rng() % 8 == 0 ? 600.0f : float(rng() % 2570) / 10.0f;
        roughness = rng() % 8 == 0 ? 2.0f : float(rng() % 100) / 100.0f;
        mix = rng() % 4 == 0 ? 1.0 : double(rng() % 1000) / 999.0;
    }
};

TEST(FractalFast, MatchesPlainHeightsAndRandomState) {
    std::mt19937 rng(41);
    for (int t = 0; t < 400; t++) {
        speedtest::Case c(rng, 90, 70);
        const Params p(rng);
        const auto before = c.pixels();
        relvane::set_fast_paths_enabled(false);
        rv_ResetRandom(c.context, p.mix);
        rv_Fractal(c.surface, p.step, p.base, p.amplitude, p.roughness);
        relvane::set_fast_paths_enabled(true);
        const auto expected = c.pixels();
        const uint32_t a = c.context->random_a, b = c.context->random_b;

        c.set(before);
        rv_ResetRandom(c.context, p.mix);
        ASSERT_TRUE(relvane::fast::fractal(c.surface, p.step, p.base, p.amplitude, p.roughness));
        ASSERT_TRUE(speedtest::same(expected, c.pixels())) << "trial " << t;
        ASSERT_EQ(a, c.context->random_a) << "trial " << t;
        ASSERT_EQ(b, c.context->random_b) << "trial " << t;
    }
}

}  // namespace
#endif
