// Relvane Test: wires SDL's clock, events and screen to the demo's steps.
// On the desktop the frames run in a loop until Escape; in a browser the
// page runs one frame per animation frame, so nothing blocks it.
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "demo.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

namespace {

rv_Demo demo;
rv_DemoLoop loop;

// One frame; its time of work goes to the page. After Escape's frame the
// loop is cancelled and the program exits as on the desktop.
void web_frame() {
    const double start = emscripten_get_now();
    rv_DemoRunFrame(&demo, &loop);
    EM_ASM({ if (Module.frameWork) Module.frameWork($0); }, emscripten_get_now() - start);
    if (demo.running) return;
    emscripten_cancel_main_loop();
    rv_DemoEnd(&demo, &loop);
    std::exit(0);
}

}  // namespace

int main(int argc, char **argv) {
    rv_DemoDefaults(&demo, &loop);
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE);
    std::atexit(SDL_Quit);
    const int status = rv_DemoStart(&demo, &loop, argc, argv);
    if (status != 0) return status;
    rv_DemoStartClock(&loop);
    emscripten_set_main_loop(web_frame, 0, 1);
    return 0;
}

#else

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

    rv_DemoStartClock(&loop);
    do rv_DemoRunFrame(&demo, &loop);
    while (demo.running);
    rv_DemoEnd(&demo, &loop);
    return 0;
}

#endif
