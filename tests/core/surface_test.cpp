// Surfaces and sub-surfaces.
#include <gtest/gtest.h>

#include <climits>

#include "relvane.h"

namespace {

struct ContextFixture : ::testing::Test {
    rv_Context *c = rv_NewContext();
    ~ContextFixture() override { rv_FreeContext(c); }
};

using Surface = ContextFixture;

TEST_F(Surface, NewSurfaceIsZeroedAndOwnsItsPixels) {
    rv_Surface *s = rv_NewSurface(c, 7, 5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->width, 7);
    EXPECT_EQ(s->height, 5);
    EXPECT_EQ(s->pitch, 7);
    EXPECT_EQ(s->parent, nullptr);
    EXPECT_EQ(s->flags, RV_SURFACE_OWNS_PIXELS);
    EXPECT_EQ(s->refcount, 1);
    EXPECT_EQ(s->context, c);
    const auto *bytes = reinterpret_cast<const unsigned char *>(s->pixels);
    for (int i = 0; i < 7 * 5 * 8; ++i) ASSERT_EQ(bytes[i], 0);
    rv_FreeSurface(s);
}

TEST_F(Surface, RefusesSizesThatCannotExist) {
    struct Case {
        int32_t w, h;
    } cases[] = {{-1, 5}, {5, -1}, {INT32_MIN, 1}, {INT32_MAX, INT32_MAX}, {1 << 20, 1 << 20}};
    for (const Case &k : cases) {
        EXPECT_EQ(rv_NewSurface(c, k.w, k.h), nullptr) << k.w << " x " << k.h;
        EXPECT_EQ(c->refcount, 1) << "a refused surface keeps no reference";
    }
}

TEST_F(Surface, EmptySurfacesAreValid) {
    for (auto [w, h] : {std::pair{0, 0}, {0, 9}, {9, 0}}) {
        rv_Surface *s = rv_NewSurface(c, w, h);
        ASSERT_NE(s, nullptr);
        ASSERT_NE(s->pixels, nullptr);
        rv_FreeSurface(s);
    }
}

TEST_F(Surface, SubSurfaceIsAWindowIntoItsParent) {
    rv_Surface *parent = rv_NewSurface(c, 100, 100);
    rv_Rect r{10, 20, 30, 40};
    rv_Surface *sub = rv_NewSubSurface(parent, &r);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->pixels, parent->pixels + 20 * 100 + 10);
    EXPECT_EQ(sub->pitch, 100);
    EXPECT_EQ(sub->width, 30);
    EXPECT_EQ(sub->height, 40);
    EXPECT_EQ(sub->flags, 0u);
    EXPECT_EQ(sub->parent, parent);
    EXPECT_EQ(parent->refcount, 2);
    EXPECT_EQ(c->refcount, 3);

    rv_Rect inner{1, 2, 3, 4};
    rv_Surface *subsub = rv_NewSubSurface(sub, &inner);
    ASSERT_NE(subsub, nullptr);
    EXPECT_EQ(subsub->pixels, parent->pixels + 22 * 100 + 11);
    EXPECT_EQ(subsub->pitch, 100);

    // Releasing the creator's reference first keeps the parent alive.
    rv_FreeSurface(parent);
    EXPECT_EQ(parent->refcount, 1);
    subsub->pixels[0].z = 9;  // still valid memory
    rv_FreeSurface(subsub);
    rv_FreeSurface(sub);
    EXPECT_EQ(c->refcount, 1);
}

TEST_F(Surface, SubSurfaceOutsideItsParentIsRefused) {
    rv_Surface *parent = rv_NewSurface(c, 10, 10);
    const rv_Rect bad[] = {
        {-1, 0, 5, 5},  {0, -1, 5, 5},        {6, 0, 5, 5},         {0, 6, 5, 5},
        {0, 0, -1, 5},  {0, 0, 5, -1},        {0, 0, 11, 1},        {INT32_MAX, 0, 1, 1},
        {1, 1, INT32_MAX, 1}, {0, 0, INT32_MIN, 1},
    };
    for (const rv_Rect &r : bad)
        EXPECT_EQ(rv_NewSubSurface(parent, &r), nullptr) << r.x << "," << r.y << "," << r.w << "," << r.h;
    EXPECT_EQ(rv_NewSubSurface(parent, nullptr), nullptr);
    EXPECT_EQ(parent->refcount, 1);
    EXPECT_EQ(c->refcount, 2);

    const rv_Rect edge[] = {{0, 0, 10, 10}, {10, 10, 0, 0}, {9, 9, 1, 1}};
    for (const rv_Rect &r : edge) {
        rv_Surface *s = rv_NewSubSurface(parent, &r);
        EXPECT_NE(s, nullptr);
        if (s) rv_FreeSurface(s);
    }
    rv_FreeSurface(parent);
}

}  // namespace
