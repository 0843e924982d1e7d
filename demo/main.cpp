// Relvane Test: wires SDL's clock, events and screen to the demo's steps.
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "demo.h"

int main(int argc, char **argv) {
    rv_Demo demo;
    rv_DemoLoop loop;
    rv_DemoDefaults(&demo, &loop);
    // A display connection that breaks must end the program through the X
    // library's error report (a message and status 1), not a silent SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE);
    std::atexit(SDL_Quit);
    const int status = rv_DemoStart(&demo, &loop, argc, argv);
    if (status != 0) return status;

    loop.start_time = SDL_GetTicks();
    loop.last_time = loop.prev_time = loop.start_time;
    do {
        const float dt = rv_DemoFrameTime(&loop);
        const Uint8 *keys = SDL_GetKeyState(nullptr);
        SDL_Event event;
        while (SDL_PollEvent(&event)) rv_DemoHandleEvent(&demo, &event);
        rv_DemoFrame(&demo, &loop, keys, dt);
        SDL_Flip(demo.screen);
        rv_DemoTick(&loop, SDL_GetTicks());
    } while (demo.running);

    std::printf("Average fps: %f\n",
                rv_DemoAverageFps(loop.frames, SDL_GetTicks() - loop.start_time));
    rv_DemoRelease(&demo, &loop);
    return 0;
}
