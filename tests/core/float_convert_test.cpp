#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/float_convert.h"

using relvane::trunc_to_i32;
using relvane::narrow_to_float;
using relvane::trunc_to_u16;

TEST(FloatConvert, TruncatesInRangeAndSaturatesOutside) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case { float in; int32_t out; };
    const Case cases[] = {
        {0.0f, 0},          {-0.0f, 0},          {2.9f, 2},
        {-2.9f, -2},        {-0.5f, 0},          {16777216.0f, 16777216},
        {2147483520.0f, 2147483520},              {2147483648.0f, INT32_MAX},
        {-2147483648.0f, INT32_MIN},              {-2147483904.0f, INT32_MIN},
        {1e30f, INT32_MAX}, {-1e30f, INT32_MIN}, {inf, INT32_MAX},
        {-inf, INT32_MIN},  {nan, INT32_MIN},
    };
    for (const Case &c : cases) EXPECT_EQ(trunc_to_i32(c.in), c.out) << c.in;
}

TEST(FloatConvert, DoubleKeepsTheLastWholeValues) {
    EXPECT_EQ(trunc_to_i32(2147483647.9), INT32_MAX);
    EXPECT_EQ(trunc_to_i32(-2147483648.9), INT32_MIN);
    EXPECT_EQ(trunc_to_i32(-2147483647.5), -2147483647);
    EXPECT_EQ(trunc_to_i32(std::nan("")), INT32_MIN);
}

TEST(FloatConvert, HeightsClampToSixteenBits) {
    EXPECT_EQ(trunc_to_u16(-1.5f), 0);
    EXPECT_EQ(trunc_to_u16(65535.9f), 65535);
    EXPECT_EQ(trunc_to_u16(70000.0f), 65535);
    EXPECT_EQ(trunc_to_u16(1404.77f), 1404);
    EXPECT_EQ(trunc_to_u16(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(FloatConvert, NarrowingRoundsAsACastAndOverflowsToInfinity) {
    const float inf = std::numeric_limits<float>::infinity();
    const float top = std::numeric_limits<float>::max();
    EXPECT_EQ(narrow_to_float(0.1), 0.1f);
    EXPECT_EQ(narrow_to_float(-256.0 / 3.0), static_cast<float>(-256.0 / 3.0));
    EXPECT_EQ(narrow_to_float(static_cast<double>(top)), top);
    EXPECT_EQ(narrow_to_float(0x1.fffffefp+127), top);
    EXPECT_EQ(narrow_to_float(1e300), inf);
    EXPECT_EQ(narrow_to_float(-1e300), -inf);
    EXPECT_TRUE(std::isnan(narrow_to_float(std::nan(""))));
}
