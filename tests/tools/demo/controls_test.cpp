#include <gtest/gtest.h>

#include <vector>

#include "demo.h"

namespace {

rv_Demo fresh() {
    rv_Demo d;
    rv_DemoLoop l;
    rv_DemoDefaults(&d, &l);
    return d;
}

void press(rv_Demo &d, SDLKey key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    rv_DemoHandleEvent(&d, &e);
}

void click(rv_Demo &d) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    rv_DemoHandleEvent(&d, &e);
}

TEST(Controls, AnyKeyEndsTheOpeningMoveOnce) {
    rv_Demo d = fresh();
    d.view_dirty = 0;
    press(d, SDLK_x);  // no control of its own
    EXPECT_EQ(d.intro, 0);
    EXPECT_EQ(d.view_dirty, 1);
    EXPECT_EQ(d.view_angle, 90.0f);
    EXPECT_EQ(d.light_angle, 45.0f);
    d.view_angle = 30.0f;
    d.view_dirty = 0;
    press(d, SDLK_x);
    EXPECT_EQ(d.view_angle, 30.0f);
    EXPECT_EQ(d.view_dirty, 0);
}

TEST(Controls, CloseRequestAndOtherEventsAreIgnored) {
    rv_Demo d = fresh();
    for (Uint8 type : {SDL_QUIT, SDL_KEYUP, SDL_MOUSEMOTION, SDL_ACTIVEEVENT, SDL_VIDEOEXPOSE}) {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.sym = SDLK_ESCAPE;
        rv_DemoHandleEvent(&d, &e);
    }
    EXPECT_EQ(d.running, 1);
    EXPECT_EQ(d.intro, 1);
    EXPECT_EQ(d.display_mode, 0);
}

TEST(Controls, TogglesAndMarks) {
    const struct {
        SDLKey key;
        int32_t rv_Demo::*flag;
        int32_t rv_Demo::*mark;
    } cases[] = {{SDLK_SPACE, &rv_Demo::animate, &rv_Demo::scene_dirty},
                 {SDLK_t, &rv_Demo::shapes, &rv_Demo::scene_dirty},
                 {SDLK_b, &rv_Demo::slopes, &rv_Demo::view_dirty},
                 {SDLK_s, &rv_Demo::shadows, &rv_Demo::view_dirty}};
    for (const auto &c : cases) {
        rv_Demo d = fresh();
        const int32_t start = d.*c.flag;
        for (int i = 1; i <= 3; ++i) {
            d.scene_dirty = d.view_dirty = 0;
            press(d, c.key);
            EXPECT_EQ(d.*c.flag, i % 2 ? !start : start) << c.key;
            EXPECT_EQ(d.*c.mark, 1) << c.key;
        }
    }
    rv_Demo d = fresh();
    d.animate = 7;  // anything but 0 toggles to 0
    press(d, SDLK_SPACE);
    EXPECT_EQ(d.animate, 0);
    press(d, SDLK_ESCAPE);
    EXPECT_EQ(d.running, 0);
}

TEST(Controls, DisplayScaleStepsThroughPowersOfTwo) {
    const struct {
        SDLKey key;
        std::vector<int32_t> seen;
    } cases[] = {{SDLK_ASTERISK, {128, 256, 256}},
                 {SDLK_KP_MULTIPLY, {128, 256, 256}},
                 {SDLK_SLASH, {32, 16, 8, 4, 2, 2}},
                 {SDLK_KP_DIVIDE, {32, 16, 8, 4, 2, 2}}};
    for (const auto &c : cases) {
        rv_Demo d = fresh();
        for (int32_t want : c.seen) {
            press(d, c.key);
            EXPECT_EQ(d.display_scale, want) << c.key;
        }
    }
}

TEST(Controls, DisplayModeByFunctionKeysAndClicks) {
    rv_Demo d = fresh();
    const SDLKey f[] = {SDLK_F1, SDLK_F2, SDLK_F3, SDLK_F4};
    for (int i : {2, 0, 3, 1}) {
        press(d, f[i]);
        EXPECT_EQ(d.display_mode, i);
    }
    press(d, SDLK_F4);
    click(d);
    click(d);
    EXPECT_EQ(d.display_mode, 1);  // 3 -> 0 -> 1
    d.display_scale = 64;
    for (int i = 0; i < 4; ++i) click(d);
    EXPECT_EQ(d.display_mode, 1);
}

// Held keys: which value moves, by how much in half a second, and what is marked.
struct HeldCase {
    std::vector<SDLKey> keys;
    float rv_Demo::*value;
    float after;       // from the start value, dt = 0.5
    bool scene, view;  // marks
};

TEST(HeldKeys, RatesPairsAndMarks) {
    const HeldCase cases[] = {
        {{SDLK_PLUS}, &rv_Demo::terrain_roughness, 0.545f, true, false},
        {{SDLK_KP_PLUS, SDLK_MINUS}, &rv_Demo::terrain_roughness, 0.545f, true, false},
        {{SDLK_KP_MINUS}, &rv_Demo::terrain_roughness, 0.295f, true, false},
        {{SDLK_PAGEDOWN, SDLK_PAGEUP}, &rv_Demo::terrain_amplitude, 204.0f, true, false},
        {{SDLK_PAGEUP}, &rv_Demo::terrain_amplitude, 236.0f, true, false},
        {{SDLK_END}, &rv_Demo::terrain_base, 44.0f, true, false},
        {{SDLK_HOME}, &rv_Demo::terrain_base, 76.0f, true, false},
        {{SDLK_LSHIFT, SDLK_DELETE}, &rv_Demo::haze, 124.0f, true, false},
        {{SDLK_RSHIFT, SDLK_INSERT}, &rv_Demo::haze, 156.0f, true, false},
        {{SDLK_INSERT}, &rv_Demo::water_level, 16.0f, true, false},
        {{SDLK_DELETE, SDLK_INSERT}, &rv_Demo::water_level, 0.0f, true, false},
        {{SDLK_UP, SDLK_DOWN}, &rv_Demo::view_angle, 22.5f, false, false},
        {{SDLK_DOWN}, &rv_Demo::view_angle, 7.5f, false, false},
        {{SDLK_LEFT, SDLK_RIGHT}, &rv_Demo::light_angle, 0.0f, false, true},
        {{SDLK_RIGHT}, &rv_Demo::light_angle, 7.5f, false, true},
    };
    for (const HeldCase &c : cases) {
        for (float dt : {0.5f, 0.0f}) {
            rv_Demo d = fresh();
            d.scene_dirty = d.view_dirty = 0;
            const rv_Demo before = d;
            Uint8 keys[SDLK_LAST] = {};
            for (SDLKey k : c.keys) keys[k] = 1;
            rv_DemoHeldKeys(&d, keys, dt);
            EXPECT_FLOAT_EQ(d.*c.value, dt == 0.0f ? before.*c.value : c.after) << c.keys[0];
            EXPECT_EQ(d.scene_dirty, c.scene) << c.keys[0];
            EXPECT_EQ(d.view_dirty, c.view) << c.keys[0];
        }
    }
}

TEST(HeldKeys, ClampAtBoundsAndNothingHeldChangesNothing) {
    Uint8 keys[SDLK_LAST] = {};
    rv_Demo d = fresh();
    d.scene_dirty = d.view_dirty = 0;
    const float before = d.terrain_base;
    rv_DemoHeldKeys(&d, keys, 10.0f);
    EXPECT_EQ(d.terrain_base, before);
    EXPECT_EQ(d.scene_dirty, 0);
    EXPECT_EQ(d.view_dirty, 0);

    // Each control held long enough reaches its bound and stays there.
    const struct {
        SDLKey up, down;
        float rv_Demo::*value;
        float top;
    } bounds[] = {{SDLK_PLUS, SDLK_MINUS, &rv_Demo::terrain_roughness, 2.0f},
                  {SDLK_PAGEUP, SDLK_PAGEDOWN, &rv_Demo::terrain_amplitude, 256.0f},
                  {SDLK_HOME, SDLK_END, &rv_Demo::terrain_base, 256.0f},
                  {SDLK_INSERT, SDLK_DELETE, &rv_Demo::water_level, 255.0f},
                  {SDLK_UP, SDLK_DOWN, &rv_Demo::view_angle, 90.0f},
                  {SDLK_RIGHT, SDLK_LEFT, &rv_Demo::light_angle, 90.0f}};
    Uint8 down[SDLK_LAST] = {};
    for (const auto &b : bounds) keys[b.up] = down[b.down] = 1;
    rv_DemoHeldKeys(&d, keys, 100.0f);
    for (const auto &b : bounds) EXPECT_EQ(d.*b.value, b.top) << b.up;
    keys[SDLK_LSHIFT] = 1;
    rv_DemoHeldKeys(&d, keys, 100.0f);
    EXPECT_EQ(d.haze, 256.0f);
    EXPECT_EQ(d.water_level, 255.0f);  // shift moves the haze only
    rv_DemoHeldKeys(&d, down, 100.0f);
    for (const auto &b : bounds) EXPECT_EQ(d.*b.value, 0.0f) << b.down;
}

TEST(Intro, ClimbsAndEndsAfterAboutSeventeenAndAHalfSeconds) {
    rv_Demo d = fresh();
    float t = 0.0f, last_view = d.view_angle;
    int frames = 0;
    while (d.intro && frames < 100000) {
        d.view_dirty = 0;
        rv_DemoIntro(&d, 1.0f / 60.0f);
        ++frames;
        t += 1.0f / 60.0f;
        EXPECT_GE(d.view_angle, last_view);
        EXPECT_LE(d.view_angle, 90.0f);
        EXPECT_EQ(d.view_dirty, 1);
        last_view = d.view_angle;
    }
    EXPECT_NEAR(t, 17.5f, 0.5f);
    EXPECT_EQ(d.view_angle, 90.0f);
    EXPECT_EQ(d.light_angle, 45.0f);

    rv_Demo z = fresh();
    rv_DemoIntro(&z, 0.0f);  // frame time 0 moves nothing
    EXPECT_EQ(z.view_angle, 15.0f);
    EXPECT_EQ(z.light_angle, 0.0f);
    EXPECT_EQ(z.intro, 1);
}

TEST(FrameClock, FrameTimeAndAverage) {
    rv_DemoLoop l{};
    l.last_time = l.prev_time = 1000;
    EXPECT_EQ(rv_DemoFrameTime(&l), 0.0f);
    rv_DemoTick(&l, 1016);
    EXPECT_EQ(rv_DemoFrameTime(&l), 16.0f * 0.001f);
    l.prev_time = 0xFFFFFFFEu;  // the millisecond clock wrapped
    l.last_time = 5;
    EXPECT_EQ(rv_DemoFrameTime(&l), 7.0f * 0.001f);
    EXPECT_EQ(rv_DemoAverageFps(100, 4000), 25.0);
}

}  // namespace
