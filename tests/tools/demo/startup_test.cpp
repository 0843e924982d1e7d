#include <cstring>

#include "demo_fixture.h"

namespace {

using Startup = StartedDemo;

TEST_F(Startup, OpensTheScreenAndCreatesObjectsSizedFromIt) {
    ASSERT_EQ(start({"-w800", "-h600"}), 0);
    EXPECT_EQ(printed, "Requested width 800.\nRequested height 600.\n");
    ASSERT_NE(d.screen, nullptr);
    EXPECT_EQ(d.screen->w, 800);
    EXPECT_EQ(d.screen->h, 600);
    EXPECT_EQ(d.screen->format->BitsPerPixel, 24);
    ASSERT_NE(d.scene, nullptr);
    ASSERT_NE(d.view, nullptr);
    ASSERT_NE(d.pipe, nullptr);
    EXPECT_EQ(d.scene->width, 801);
    EXPECT_EQ(d.scene->height, 601);
    EXPECT_EQ(d.view->width, 801);
    EXPECT_EQ(d.view->height, 601);
    EXPECT_EQ(d.pipe->flags, 0x1007004u);
    EXPECT_EQ(d.pipe->alpha, 255);
    EXPECT_EQ(d.pipe->light, 256);
    EXPECT_EQ(l.context->refcount, 4);  // creator, two surfaces, pipe
    char *title = nullptr, *icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    EXPECT_STREQ(title, "Relvane Test");
    EXPECT_STREQ(icon, "Relvane");
}

TEST_F(Startup, DefaultsGiveA640By480Screen) {
    ASSERT_EQ(start({}), 0);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(d.scene->width, 641);
    EXPECT_EQ(d.scene->height, 481);
}

// Sizes SDL may refuse or replace: either the start stops with the message,
// or the surfaces follow the screen SDL returned and a frame runs.
TEST_F(Startup, OddSizesStopOrFollowTheReturnedScreen) {
    const std::vector<std::string> cases[] = {
        {"-w", "-h0"}, {"-w0", "-h50"}};
    for (const auto &args : cases) {
        reset();
        testing::internal::CaptureStderr();
        const int status = start(args);
        const std::string err = testing::internal::GetCapturedStderr();
        if (status != 0) {
            EXPECT_EQ(status, 1);
            EXPECT_EQ(err, "Failed to open screen!\n");
            EXPECT_EQ(d.scene, nullptr);
            EXPECT_EQ(l.context, nullptr);
            continue;
        }
        EXPECT_EQ(d.scene->width, d.screen->w + 1);
        EXPECT_EQ(d.scene->height, d.screen->h + 1);
        frame();
    }
}

TEST_F(Startup, UnusableScreenSizeStopsInOrder) {
    // A screen too large for the surfaces' 32-bit sizes: nothing is kept.
    SDL_Surface fake{};
    fake.w = INT32_MAX;
    fake.h = 10;
    d.screen = &fake;
    testing::internal::CaptureStderr();
    EXPECT_EQ(rv_DemoCreateObjects(&d, &l), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed to create engine objects!\n");
    EXPECT_EQ(d.scene, nullptr);
    EXPECT_EQ(d.view, nullptr);
    EXPECT_EQ(d.pipe, nullptr);
    EXPECT_EQ(l.context, nullptr);
}

}  // namespace
