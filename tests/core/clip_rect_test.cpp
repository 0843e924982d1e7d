// The clip rule shared by every rectangle operation.
#include <gtest/gtest.h>

#include <climits>

#include "support/surface_helpers.h"

namespace {

struct ClipCase {
    rv_Rect in;
    rv_Rect written;  // caller's record afterwards
    bool empty;       // nothing to process
};

TEST(ClipRect, ClipsTheCallersRectangleInPlace) {
    relvane_test::Canvas canvas(10, 10);
    rv_Surface *s = canvas.surface;
    const ClipCase cases[] = {
        {{-5, -5, 20, 20}, {0, 0, 10, 10}, false},
        {{8, 8, 5, 5}, {8, 8, 2, 2}, false},
        {{20, 0, 5, 5}, {20, 0, -10, 5}, true},  // w negative: nothing processed
        {{0, 0, 0, 7}, {0, 0, 0, 7}, true},       // w 0: h keeps its value
        {{10, 3, 4, 4}, {10, 3, 0, 4}, true},
        {{2, 12, 3, 3}, {2, 12, 3, -2}, true},
        {{-3, 0, 3, 5}, {0, 0, 0, 5}, true},
        {{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, {INT32_MAX, INT32_MAX, 10 - INT32_MAX, 10 - INT32_MAX}, true},
        {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, -1, -1}, true},
        {{-1, -1, INT32_MAX, INT32_MAX}, {0, 0, 10, 10}, false},
    };
    for (const ClipCase &k : cases) {
        rv_Rect r = k.in;
        const rv_Rect out = rv_ClipRect(s, &r);
        EXPECT_EQ(r, k.written) << k.in;
        EXPECT_EQ(out.w <= 0 || out.h <= 0, k.empty) << k.in;
        if (!k.empty) {
            EXPECT_GE(out.x, 0);
            EXPECT_LE(out.x + out.w, s->width);
            EXPECT_LE(out.y + out.h, s->height);
        }
    }
}

TEST(ClipRect, NullMeansTheWholeSurface) {
    relvane_test::Canvas c(10, 6);
    EXPECT_EQ(rv_ClipRect(c.surface, nullptr), (rv_Rect{0, 0, 10, 6}));
}

}  // namespace
