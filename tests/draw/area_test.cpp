#include <gtest/gtest.h>

#include <climits>

#include "support/surface_helpers.h"

using namespace relvane_test;

namespace {

const rv_Pixel kTerrain{160, 128, 96, 7, 256, 0};

}  // namespace

TEST(FillRect, ClipsAndWritesTheRectBack) {
    struct Case { rv_Rect in, out; };
    const Case cases[] = {
        {{-10, 0, 30, 5}, {0, 0, 20, 5}},
        {{90, 3, 30, 5}, {90, 3, 10, 5}},
        {{5, -4, 3, 20}, {5, 0, 3, 10}},
        {{120, 0, 5, 5}, {120, 0, -20, 5}},  // wholly outside: nothing
        {{INT32_MAX, INT32_MAX, INT32_MAX, 5}, {INT32_MAX, INT32_MAX, -INT32_MAX + 100, -INT32_MAX + 10}},
    };
    const rv_Pixel value{160, 128, 96, 255, 256, 500};
    for (const Case &k : cases) {
        Canvas c(100, 10);
        rv_Rect r = k.in;
        rv_FillRect(RV_FIELD_ALL, c.surface, &r, &value);
        EXPECT_EQ(r, k.out);
        for (int32_t y = 0; y < 10; ++y)
            for (int32_t x = 0; x < 100; ++x) {
                const bool inside = x >= k.out.x && x < k.out.x + k.out.w && y >= k.out.y &&
                                    y < k.out.y + k.out.h;
                EXPECT_EQ(at(c.surface, x, y), inside ? value : rv_Pixel{}) << x << "," << y;
            }
    }
}

// Every mask, high bits included, against the field rule on random
// rectangles of a sub-surface: the parent outside the window stays.
TEST(FillRect, MatchesTheFieldRuleForEveryMask) {
    Canvas c(40, 30);
    const rv_Rect window{5, 4, 27, 19};
    rv_Surface *sub = rv_NewSubSurface(c.surface, &window);
    ASSERT_NE(sub, nullptr);
    std::mt19937 rng(7);
    for (uint32_t mask = 0; mask < 0x80; ++mask) {
        scramble(c.surface, rng);
        auto want = snapshot(c.surface);
        const rv_Pixel value = random_pixel(rng);
        rv_Rect r{static_cast<int32_t>(rng() % 40) - 8, static_cast<int32_t>(rng() % 30) - 8,
                  static_cast<int32_t>(rng() % 30), static_cast<int32_t>(rng() % 25)};
        rv_Rect clip = r;
        rv_ClipRect(sub, &clip);
        for (int32_t y = clip.y; y < clip.y + clip.h; ++y)
            for (int32_t x = clip.x; x < clip.x + clip.w; ++x)
                apply_fields(mask, want[(y + window.y) * 40 + x + window.x], value);
        rv_FillRect(mask, sub, &r, &value);
        EXPECT_EQ(r, clip);
        const auto got = snapshot(c.surface);
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], want[i]) << "mask " << mask << " pixel " << i;
    }
    rv_FreeSurface(sub);
}

TEST(ApplyWater, BlendsByDepthBelowTheLevel) {
    const rv_Pixel water{80, 112, 160, 80, 300, 25600};
    struct Case { int32_t depth; uint16_t z; rv_Pixel want; };
    const Case cases[] = {
        {24, 23200, {104, 116, 140, 7, 286, 23200}},
        {24, 25600, {135, 123, 116, 7, 269, 25600}},
        {24, 0, {80, 112, 160, 7, 300, 0}},
        {24, 25601, {160, 128, 96, 7, 256, 25601}},
        // depth 0 or less: one weight step per z unit
        {0, 25599, {134, 122, 116, 7, 269, 25599}},
        {-5, 25424, {80, 112, 160, 7, 300, 25424}},
        {-5, 25425, {80, 112, 159, 7, 299, 25425}},
        // the deepest depths leave only the level's own weight
        {INT32_MAX, 0, {135, 123, 116, 7, 269, 0}},
        {INT32_MIN, 25599, {134, 122, 116, 7, 269, 25599}},
    };
    for (const Case &k : cases) {
        Canvas c(3, 2);
        rv_Pixel p = kTerrain;
        p.z = k.z;
        rv_FillRect(RV_FIELD_ALL, c.surface, nullptr, &p);
        rv_ApplyWater(c.surface, nullptr, &water, k.depth);
        for (const rv_Pixel &got : snapshot(c.surface))
            EXPECT_EQ(got, k.want) << "depth " << k.depth << " z " << k.z;
    }
}

TEST(ApplyWater, StaysInsideTheClippedRectangle) {
    Canvas c(8, 8);
    const rv_Pixel water{255, 255, 255, 255, 1000, 100};
    rv_Rect r{6, -3, 5, 5};
    rv_ApplyWater(c.surface, &r, &water, 1);
    EXPECT_EQ(r, (rv_Rect{6, 0, 2, 2}));
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x)
            EXPECT_EQ(at(c.surface, x, y).red, (x >= 6 && y < 2) ? 255 : 0);
}

TEST(RaiseToLevel, MovesHeightsTowardsTheLevel) {
    struct Case { int32_t factor; uint16_t z, level, want; };
    const Case cases[] = {
        {96, 1000, 2000, 1375},   {96, 2000, 2000, 2000},  {96, 2001, 2000, 2001},
        {256, 0, 2000, 2000},     {128, 1001, 2000, 1500}, {0, 5, 2000, 5},
        // outside 0..256: computed wide, held to 0..65535
        {512, 1000, 2000, 3000},  {1000, 0, 65535, 65535}, {-1000, 1000, 2000, 0},
        {-256, 1500, 2000, 1000}, {INT32_MAX, 0, 65535, 65535},
        {INT32_MIN, 65534, 65535, 0},
    };
    for (const Case &k : cases) {
        Canvas c(2, 2);
        const rv_Pixel start{1, 2, 3, 4, 5, k.z};
        rv_FillRect(RV_FIELD_ALL, c.surface, nullptr, &start);
        const rv_Pixel level{9, 9, 9, 9, 9, k.level};
        rv_RaiseToLevel(c.surface, nullptr, &level, k.factor);
        const rv_Pixel want{1, 2, 3, 4, 5, k.want};
        for (const rv_Pixel &got : snapshot(c.surface))
            EXPECT_EQ(got, want) << k.factor << " " << k.z;
    }
}
