#if RELVANE_SIMD
#include "fast_compare.h"

namespace {

using fastcheck::MaybeRect;

rv_Pixel random_level(std::mt19937 &rng) {
    rv_Pixel p{};
    const uint32_t r = rng();
    std::memcpy(&p, &r, 4);
    p.light = uint16_t(rng());
    p.z = uint16_t(rng() % 3 == 0 ? rng() : rng() % 512 * 128);
    return p;
}

int32_t random_depth(std::mt19937 &rng) { return int32_t(rng() % 300) - 20; }

RELVANE_FAST_SUITE(AreaFast);

TEST_P(AreaFast, WaterMatchesPlain) {
    fastcheck::compare(
        3000, 70, 12, 11,
        [](rv_Surface *s, std::mt19937 &rng) {
            MaybeRect r(rng);
            const rv_Pixel w = random_level(rng);
            rv_ApplyWater(s, r.get(), &w, random_depth(rng));
        },
        [](rv_Surface *s, std::mt19937 &rng) {
            MaybeRect r(rng);
            const rv_Pixel w = random_level(rng);
            rv_ApplyWater(s, r.get(), &w, random_depth(rng));
        });
}

// Factors cover the test program's 96, the usual 0..256, both signs, the
// ends of what the vector kernel takes and beyond them.
int32_t random_factor(std::mt19937 &rng) {
    switch (rng() % 5) {
    case 0: return 96;
    case 1: return int32_t(rng() % 257);
    case 2: return int32_t(rng() % 2001) - 1000;
    case 3: return rng() % 2 ? 32768 : -40000;
    default: return rng() % 2 ? 32767 : -32767;
    }
}

TEST_P(AreaFast, RaiseMatchesPlain) {
    fastcheck::compare(
        3000, 70, 12, 12,
        [](rv_Surface *s, std::mt19937 &rng) {
            MaybeRect r(rng);
            const rv_Pixel l = random_level(rng);
            rv_RaiseToLevel(s, r.get(), &l, random_factor(rng));
        },
        [](rv_Surface *s, std::mt19937 &rng) {
            MaybeRect r(rng);
            const rv_Pixel l = random_level(rng);
            rv_RaiseToLevel(s, r.get(), &l, random_factor(rng));
        });
}

}  // namespace
#endif
