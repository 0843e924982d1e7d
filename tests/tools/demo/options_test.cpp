#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo.h"

namespace {

struct ArgsCase {
    const char *name;
    std::vector<const char *> args;
    uint32_t flags;
    int32_t width, height, tile;
    const char *out;
    int32_t threads = 1;
};

class ReadArgs : public testing::TestWithParam<ArgsCase> {};

TEST_P(ReadArgs, SetsRecordAndPrintsInOrder) {
    const ArgsCase &c = GetParam();
    rv_Demo d;
    rv_DemoLoop l;
    rv_DemoDefaults(&d, &l);
    std::vector<char *> argv{const_cast<char *>("relvane-demo")};
    for (const char *a : c.args) argv.push_back(const_cast<char *>(a));
    testing::internal::CaptureStdout();
    rv_DemoReadArgs(&d, static_cast<int>(argv.size()), argv.data());
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out);
    EXPECT_EQ(d.video_flags, c.flags);
    EXPECT_EQ(d.width, c.width);
    EXPECT_EQ(d.height, c.height);
    EXPECT_EQ(d.tile_size, c.tile);
    EXPECT_EQ(d.threads, c.threads);
}

INSTANTIATE_TEST_SUITE_P(
    Options, ReadArgs,
    testing::Values(
        ArgsCase{"None", {}, 0, 640, 480, 128, ""},
        ArgsCase{"WidthHeight", {"-w800", "-h600"}, 0, 800, 600, 128, "Requested width 800.\nRequested height 600.\n"},
        ArgsCase{"HwAlone", {"-hw"}, SDL_HWSURFACE, 640, 480, 128, "Requesting hardware display surface.\n"},
        ArgsCase{"HeightNotHw", {"-h200"}, 0, 640, 200, 128, "Requested height 200.\n"},
        ArgsCase{"HwIgnoresValue", {"-hw200"}, SDL_HWSURFACE, 640, 480, 128, "Requesting hardware display surface.\n"},
        ArgsCase{"PrefixAndIgnored", {"-fullscreen", "-x", "abc"}, SDL_FULLSCREEN, 640, 480, 128,
                 "Requesting fullscreen display.\n"},
        ArgsCase{"WidthWithoutDigits", {"-w"}, 0, 0, 480, 128, "Requested width 0.\n"},
        ArgsCase{"DoubleFullscreen", {"-d", "-f"}, SDL_DOUBLEBUF | SDL_FULLSCREEN, 640, 480, 128,
                 "Requesting double buffered display.\nRequesting fullscreen display.\n"},
        ArgsCase{"RepeatedValues", {"-t7", "-t-3", "-dx"}, SDL_DOUBLEBUF, 640, 480, -3,
                 "Requested tile size 7.\nRequested tile size -3.\nRequesting double buffered display.\n"},
        ArgsCase{"Saturating", {"-w99999999999", "-h-99999999999"}, 0, INT32_MAX, INT32_MIN, 128,
                 "Requested width 2147483647.\nRequested height -2147483648.\n"},
        ArgsCase{"ThreadsAfterTheOthers", {"-j3", "-jx", "-t9"}, 0, 640, 480, 9,
                 "Requested 3 threads.\nRequested 0 threads.\nRequested tile size 9.\n", 0}),
    [](const testing::TestParamInfo<ArgsCase> &info) { return std::string(info.param.name); });

TEST(ReadValue, ReadsLikeAtoiAndSaturates) {
    const struct {
        const char *text;
        int32_t v;
    } cases[] = {{"", 0},           {"abc", 0},          {"  42x", 42},        {"+7", 7},
                 {"-12", -12},      {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX},
                 {"-2147483648", INT32_MIN}, {"-2147483649", INT32_MIN},
                 {"123456789012345678901234567890", INT32_MAX}};
    for (const auto &c : cases) EXPECT_EQ(rv_DemoReadValue(c.text), c.v) << c.text;
}

}  // namespace
