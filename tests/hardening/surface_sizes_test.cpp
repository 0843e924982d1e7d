// Surface sizes at the ends of the range: refused ones take nothing from the
// context, accepted empty ones are safe to use.
#include <gtest/gtest.h>

#include <climits>

#include "relvane.h"

TEST(SurfaceSizes, UnaddressableSizesAreRefusedBeforeTheSpansGrow) {
    const struct {
        int32_t w, h;
    } refused[] = {{INT32_MAX, INT32_MAX}, {1 << 30, 1 << 30}, {INT32_MAX, 1 << 30},
                   {-1, 5},                {5, -1},            {INT32_MIN, 0},
                   {0, INT32_MIN}};
    rv_Context *c = rv_NewContext();
    for (const auto &r : refused) {
        EXPECT_EQ(rv_NewSurface(c, r.w, r.h), nullptr) << r.w << " x " << r.h;
        EXPECT_EQ(c->span_size, 100) << r.w << " x " << r.h;
        EXPECT_EQ(c->refcount, 1) << r.w << " x " << r.h;
    }
    rv_FreeContext(c);
}

TEST(SurfaceSizes, EmptyAndSinglePixelSurfacesWork) {
    rv_Context *c = rv_NewContext();
    const int32_t sides[][2] = {{0, 0}, {0, 7}, {7, 0}, {1, 1}};
    for (const auto &s : sides) {
        rv_Surface *surface = rv_NewSurface(c, s[0], s[1]);
        ASSERT_NE(surface, nullptr);
        EXPECT_NE(surface->pixels, nullptr);
        rv_FreeSurface(surface);
    }
    EXPECT_EQ(c->refcount, 1);
    rv_FreeContext(c);
}
