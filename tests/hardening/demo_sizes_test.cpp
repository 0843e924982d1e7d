// Screen sizes beyond what SDL 1.2 can hold, and negative sides, stop the
// start like a refused mode, before SDL is asked for them.
#include "tools/demo/demo_fixture.h"

namespace {

using DemoSizes = StartedDemo;

TEST_F(DemoSizes, SidesBeyondSdlsRangeStopTheStart) {
    const std::vector<std::string> cases[] = {{"-w2147483647", "-h2147483647"},
                                              {"-w100000", "-h10"},
                                              {"-w10", "-h70000"},
                                              {"-w16385", "-h1"},
                                              {"-w-5", "-h-7"},
                                              {"-w-2147483648", "-h3"},
                                              {"-w10", "-h-1"}};
    for (const auto &args : cases) {
        rv_DemoRelease(&d, &l);
        rv_DemoDefaults(&d, &l);
        testing::internal::CaptureStderr();
        EXPECT_EQ(start(args), 1) << args[0] << " " << args[1];
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed to open screen!\n");
        EXPECT_EQ(d.screen, nullptr);
        EXPECT_EQ(l.context, nullptr);
    }
}

TEST_F(DemoSizes, TheLargestSideStillOpens) {
    ASSERT_EQ(start({"-w16384", "-h2"}), 0);
    EXPECT_EQ(d.scene->width, 16385);
    EXPECT_EQ(d.view->height, 3);
}

}  // namespace
