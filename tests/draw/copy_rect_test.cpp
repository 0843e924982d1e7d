#include <gtest/gtest.h>

#include <climits>

#include "support/surface_helpers.h"

using namespace relvane_test;

namespace {

// Two surfaces of one context filled with different random pixels.
struct Pair {
    rv_Context *context = rv_NewContext();
    rv_Surface *src, *dst;
    Pair(int32_t sw, int32_t sh, int32_t dw, int32_t dh, unsigned seed)
        : src(rv_NewSurface(context, sw, sh)), dst(rv_NewSurface(context, dw, dh)) {
        std::mt19937 rng(seed);
        scramble(src, rng);
        scramble(dst, rng);
    }
    ~Pair() {
        rv_FreeSurface(src);
        rv_FreeSurface(dst);
        rv_FreeContext(context);
    }
};

// What a copy must give, computed from the surfaces' pixels as they are now:
// the source clip, then each source pixel to its place if that is inside dst.
std::vector<rv_Pixel> expected_copy(uint32_t mask, rv_Surface *src, rv_Rect rect, bool use_rect,
                                    rv_Surface *dst, int32_t x, int32_t y, rv_Surface *root) {
    std::vector<rv_Pixel> want = snapshot(root);
    std::vector<rv_Pixel> from = snapshot(src);  // read before any write
    const rv_Rect r = rv_ClipRect(src, use_rect ? &rect : nullptr);
    const ptrdiff_t off = dst->pixels - root->pixels;
    for (int64_t j = 0; j < r.h; ++j)
        for (int64_t i = 0; i < r.w; ++i) {
            const int64_t tx = x + i, ty = y + j;
            if (tx < 0 || ty < 0 || tx >= dst->width || ty >= dst->height) continue;
            const ptrdiff_t k = off + ty * dst->pitch + tx;
            const size_t rw = static_cast<size_t>(root->width);
            apply_fields(mask, want[static_cast<size_t>(k / root->pitch) * rw +
                                    static_cast<size_t>(k % root->pitch)],
                         from[static_cast<size_t>((r.y + j) * src->width + r.x + i)]);
        }
    return want;
}

}  // namespace

TEST(CopyRect, NullRectMakesAnExactCopy) {
    for (uint32_t mask : {RV_FIELD_ALL, 0x7Fu, 0xFFFFFFFFu}) {
        Pair p(7, 5, 7, 5, 3);
        rv_CopyRect(mask, p.src, nullptr, p.dst, 0, 0);
        EXPECT_EQ(snapshot(p.dst), snapshot(p.src)) << mask;
    }
}

TEST(CopyRect, SourceClipIsWrittenBack) {
    struct Case { rv_Rect in, out; bool copies; };
    const Case cases[] = {
        {{-2, -1, 5, 4}, {0, 0, 3, 3}, true},
        {{6, 0, 3, 3}, {6, 0, 0, 3}, false},
        {{1, 4, 9, 9}, {1, 4, 5, 1}, true},
    };
    for (const Case &k : cases) {
        Pair p(6, 5, 10, 10, 5);
        rv_Rect r = k.in;
        const auto want = expected_copy(RV_FIELD_ALL, p.src, k.in, true, p.dst, 2, 3, p.dst);
        const auto before = snapshot(p.dst);
        rv_CopyRect(RV_FIELD_ALL, p.src, &r, p.dst, 2, 3);
        EXPECT_EQ(r, k.out);
        const auto got = snapshot(p.dst);
        EXPECT_EQ(got, want);
        EXPECT_EQ(got != before, k.copies);
    }
}

// A block placed partly or wholly off the destination writes only what lands
// inside: the destination is a window into a larger parent whose border must
// stay untouched. The caller's rectangle keeps the source clip only.
TEST(CopyRect, DestinationPositionIsClippedOnEverySide) {
    const int32_t positions[][2] = {{-3, 2}, {5, 2}, {2, -2}, {2, 5}, {-4, -4}, {6, 6},
                                    {-20, 0}, {0, 30}, {INT32_MIN, INT32_MIN},
                                    {INT32_MAX, 0}, {0, INT32_MAX}};
    for (const auto &pos : positions) {
        Pair p(5, 4, 12, 12, 6);
        const rv_Rect window{2, 3, 7, 6};
        rv_Surface *dst = rv_NewSubSurface(p.dst, &window);
        ASSERT_NE(dst, nullptr);
        const rv_Rect asked{-1, 0, 5, 4};
        const auto want = expected_copy(RV_FIELD_ALL, p.src, asked, true, dst, pos[0], pos[1], p.dst);
        rv_Rect r = asked;
        rv_CopyRect(RV_FIELD_ALL, p.src, &r, dst, pos[0], pos[1]);
        EXPECT_EQ(r, (rv_Rect{0, 0, 4, 4}));
        const auto got = snapshot(p.dst);
        EXPECT_EQ(got, want) << pos[0] << "," << pos[1];
        rv_FreeSurface(dst);
    }
}

// Every mask, random rectangles and positions, between random windows of one
// parent (mostly overlapping) and between separate surfaces: the result is
// that of copying through a temporary, and nothing outside the landing
// block changes.
TEST(CopyRect, MatchesTheFieldRuleAlsoWhenOverlapping) {
    std::mt19937 rng(11);
    auto pick = [&](int32_t lo, int32_t hi) {
        return lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo + 1));
    };
    for (int round = 0; round < 600; ++round) {
        const uint32_t mask = static_cast<uint32_t>(round) & 0x7F;
        Pair p(24, 20, 16, 14, static_cast<unsigned>(round));
        const bool shared = round % 3 != 0;
        // Large windows near the corner, so that blocks mostly overlap.
        auto window = [&](rv_Surface *parent) {
            const int32_t x = pick(0, 4), y = pick(0, 4);
            const rv_Rect w{x, y, pick(parent->width - x - 6, parent->width - x),
                            pick(parent->height - y - 6, parent->height - y)};
            return rv_NewSubSurface(parent, &w);
        };
        rv_Surface *src = window(p.src);
        rv_Surface *dst = window(shared ? p.src : p.dst);
        ASSERT_NE(src, nullptr);
        ASSERT_NE(dst, nullptr);
        const rv_Rect rect{pick(-4, 12), pick(-4, 12), pick(-2, 20), pick(-2, 20)};
        const int32_t x = pick(-6, 10), y = pick(-6, 10);
        rv_Surface *root = shared ? p.src : p.dst;
        const auto want = expected_copy(mask, src, rect, true, dst, x, y, root);
        rv_Rect r = rect;
        rv_CopyRect(mask, src, &r, dst, x, y);
        rv_Rect clip = rect;
        rv_ClipRect(src, &clip);
        EXPECT_EQ(r, clip);
        const auto got = snapshot(root);
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], want[i]) << "round " << round << " pixel " << i;
        rv_FreeSurface(src);
        rv_FreeSurface(dst);
    }
}
