// One frame of the loop, and its steps after the events: controls, builds,
// display.
#include <cstdint>
#include <cstdio>

#include "demo.h"

void rv_DemoShow(rv_Demo *demo) {
    rv_Surface *view = demo->view;
    SDL_Surface *screen = demo->screen;
    switch (demo->display_mode) {
    case 0:
        if (demo->view_angle == 90.0f)
            rv_ShowColour(view, screen);
        else
            rv_ShowTilted(view, screen, demo->view_angle);
        break;
    case 1: rv_ShowProfiles(view, screen, demo->display_scale); break;
    case 2: rv_ShowHeight(view, screen, demo->display_scale); break;
    case 3: rv_ShowLight(view, screen); break;
    default: break;
    }
}

rv_Surface *rv_DemoBuildDueLandscape(rv_Demo *demo, rv_DemoLoop *loop, float dt) {
    rv_Surface *target = nullptr;
    if (demo->animate) {
        demo->phase += dt;
        target = demo->view;
    } else if (demo->scene_dirty) {
        target = demo->scene;
    }
    if (target) rv_DemoBuildLandscape(demo, loop, target);
    return target;
}

void rv_DemoFrame(rv_Demo *demo, rv_DemoLoop *loop, const uint8_t *keys, float dt) {
    rv_DemoHeldKeys(demo, keys, dt);
    rv_DemoIntro(demo, dt);
    rv_DemoBuildDueLandscape(demo, loop, dt);
    if (demo->view_dirty) rv_DemoBuildView(demo, loop);
    rv_DemoShow(demo);
    if (loop->frames < INT32_MAX) ++loop->frames;
}

void rv_DemoStartClock(rv_DemoLoop *loop) {
    loop->start_time = SDL_GetTicks();
    loop->last_time = loop->prev_time = loop->start_time;
}

void rv_DemoRunFrame(rv_Demo *demo, rv_DemoLoop *loop) {
    const float dt = rv_DemoFrameTime(loop);
    const Uint8 *keys = SDL_GetKeyState(nullptr);
    SDL_Event event;
    while (SDL_PollEvent(&event)) rv_DemoHandleEvent(demo, &event);
    rv_DemoFrame(demo, loop, keys, dt);
    SDL_Flip(demo->screen);
    rv_DemoTick(loop, SDL_GetTicks());
}

void rv_DemoEnd(rv_Demo *demo, rv_DemoLoop *loop) {
    std::printf("Average fps: %f\n", rv_DemoAverageFps(loop->frames, SDL_GetTicks() - loop->start_time));
    rv_DemoRelease(demo, loop);
}
