#if RELVANE_SIMD
#include "fast_compare.h"
#include "core/random_bulk.h"
#include "core/random_draw.h"
#include "core/threads.h"
#include "terrain/terrain_fast.h"

namespace {

// Generator B's state k usual steps (16807 b - 1) before one whose product
// wraps to 4294967294 or 4294967295, so that the unusual step falls at a
// random place among a pass's bulk draws.
uint32_t b_before_unusual(std::mt19937 &rng) {
    uint32_t inv = 16807u;  // inverse of 16807 modulo 2^32
    for (int i = 0; i < 5; i++) inv *= 2u - 16807u * inv;
    uint32_t b = (rng() % 2 ? 4294967294u : 4294967295u) * inv;
    for (uint32_t k = rng() % 4 ? rng() % 3000 : 0; k > 0; k--) b = (b + 1u) * inv;
    return b;
}

constexpr int kTrials = 3000;  // per target

// Parameters around the test program's (step 128, 60, 220, 0.42), with
// zero, tiny, huge, negative, non-power-of-two and oversized values mixed in,
// and any generator state and mix.
struct Params {
    int32_t step;
    float base, amplitude, roughness;
    uint32_t a, b, mix;
    explicit Params(std::mt19937 &rng) {
        const int32_t steps[] = {1, 2, 3, 4, 5, 6, 8, 12, 16, 32, 128, 200, 0, -3};
        step = steps[rng() % 14];
        // (now and then far beyond the heights, either way)
        base = rng() % 16 ? float(rng() % 300) : rng() % 2 ? 3e9f : -3e9f;
        const float amplitudes[] = {0.0f, 511.9f, 512.03f, 600.0f};
        amplitude = rng() % 2 ? amplitudes[rng() % 4] : float(rng() % 2570) / 10.0f;
        roughness = rng() % 8 == 0 ? 2.0f : float(rng() % 100) / 100.0f;
        const uint32_t mixes[] = {0, 16383, 16384, uint32_t(rng() % 16385)};
        mix = mixes[rng() % 4];
        a = rng();
        b = rng() % 2 ? rng() : b_before_unusual(rng);
    }
    void reset(rv_Context *c) const { c->random_a = a, c->random_b = b, c->random_mix = mix; }
};

RELVANE_FAST_SUITE(FractalFast);

TEST_P(FractalFast, MatchesPlainHeightsAndRandomState) {
    std::mt19937 rng(41);
    const int32_t sides[] = {1, 2, 3, 90};
    for (int t = 0; t < kTrials; t++) {
        fastcheck::Case c(rng, sides[rng() % 4], sides[rng() % 4]);
        const Params p(rng);
        // Half the time a window into the surface, whose surroundings stay.
        const rv_Rect inset{1, 1, c.surface->width - 1 - int32_t(rng() % 3), c.surface->height - 2};
        rv_Surface *sub = rng() % 2 ? rv_NewSubSurface(c.surface, &inset) : nullptr;
        rv_Surface *target = sub ? sub : c.surface;
        const auto before = c.pixels();
        relvane::set_fast_paths_enabled(false);
        p.reset(c.context);
        rv_Fractal(target, p.step, p.base, p.amplitude, p.roughness);
        relvane::set_fast_paths_enabled(true);
        const auto expected = c.pixels();
        const uint32_t a = c.context->random_a, b = c.context->random_b;

        c.set(before);
        p.reset(c.context);
        // On several threads, each worth its share however small: the centres
        // in bands, each band making its own draws, or (half the time, and
        // where they meet an unusual step) the level's draws beforehand.
        const int32_t counts[] = {1, 2, 3, 8};
        rv_SetThreads(c.context, counts[rng() % 4]);
        const int64_t grain = relvane::pixels_worth_a_thread, ahead = relvane::fast::fractal_draws_ahead;
        relvane::pixels_worth_a_thread = 1;
        relvane::fast::fractal_draws_ahead = rng() % 2 ? 0 : ahead;
        rv_Fractal(target, p.step, p.base, p.amplitude, p.roughness);
        relvane::pixels_worth_a_thread = grain;
        relvane::fast::fractal_draws_ahead = ahead;
        if (sub) rv_FreeSurface(sub);
        ASSERT_TRUE(fastcheck::same(expected, c.pixels()))
            << "trial " << t << " size " << c.surface->width << "x" << c.surface->height;
        ASSERT_EQ(a, c.context->random_a) << "trial " << t;
        ASSERT_EQ(b, c.context->random_b) << "trial " << t;
    }
}

// The bulk draws' quotients against the one-by-one draws' at every
// amplitude, from random states and mixes.
TEST_P(FractalFast, BulkDrawsMatchSingleDrawsAtEveryAmplitude) {
    std::mt19937 rng(43);
    fastcheck::Case c(rng, 1, 1);
    rv_Context *ctx = c.context;
    constexpr size_t kDraws = 21;
    for (int32_t a = 0; a <= 131080; a++) {
        const uint32_t ra = rng(), rb = rng(), mix = rng() % 16385;
        ctx->random_a = ra, ctx->random_b = rb, ctx->random_mix = mix;
        int32_t bulk[kDraws], single[kDraws];
        relvane::fast::random_displacements(ctx, a, bulk, kDraws);
        const uint32_t bulk_a = ctx->random_a, bulk_b = ctx->random_b;
        ctx->random_a = ra, ctx->random_b = rb;
        const relvane::ExactDivisor e = relvane::exact_divisor(relvane::random_divisor(uint32_t(2 * a)));
        for (int32_t &d : single) d = relvane::random_displacement(ctx, a, e);
        ASSERT_EQ(0, std::memcmp(bulk, single, sizeof bulk)) << "amplitude " << a;
        ASSERT_EQ(bulk_a, ctx->random_a);
        ASSERT_EQ(bulk_b, ctx->random_b);
    }
}

}  // namespace
#endif
