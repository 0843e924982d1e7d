#include <gtest/gtest.h>

#include "relvane.h"

TEST(Context, NewContextHasHundredPixelSpans) {
    rv_Context *c = rv_NewContext();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->span_size, 100);
    rv_FreeContext(c);
}
