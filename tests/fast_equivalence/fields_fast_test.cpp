#if RELVANE_SIMD
#include "fast_compare.h"

namespace {

using fastcheck::MaybeRect;

// Whole pixels a quarter of the time (with a stray high bit), else any mask.
uint32_t random_mask(std::mt19937 &rng) {
    return rng() % 4 == 0 ? RV_FIELD_ALL | (rng() & 0x40) : rng() & 0x7F;
}

RELVANE_FAST_SUITE(FieldsFast);

TEST_P(FieldsFast, FillMatchesPlain) {
    auto fill = [](rv_Surface *s, std::mt19937 &rng) {
        MaybeRect r(rng);
        const uint32_t mask = random_mask(rng);
        const rv_Pixel v{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint16_t(rng()),
                         uint16_t(rng())};
        rv_FillRect(mask, s, r.get(), &v);
        return true;
    };
    fastcheck::compare(3000, 70, 12, 41, fill, fill);
}

// Copies within one surface, so that source and destination overlap in both
// directions; null rectangles at column 0 make gapless blocks.
TEST_P(FieldsFast, CopyMatchesPlain) {
    auto copy = [](rv_Surface *s, std::mt19937 &rng) {
        MaybeRect r(rng);
        const uint32_t mask = random_mask(rng);
        const int32_t x = rng() % 2 ? 0 : int32_t(rng() % 30) - 10, y = int32_t(rng() % 9) - 4;
        rv_CopyRect(mask, s, r.get(), s, x, y);
        return true;
    };
    fastcheck::compare(3000, 70, 12, 42, copy, copy);
}

}  // namespace
#endif
