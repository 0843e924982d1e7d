// Relvane Test: wires SDL's clock, events and screen to the demo's steps.
// On the desktop the frames run in a loop until Escape; in a browser the
// page runs one frame per animation frame, so nothing blocks it.
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "demo.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#if RELVANE_SIMD
#include <hwy/targets.h>
#endif

namespace {

rv_Demo demo;
rv_DemoLoop loop;

// The build the page runs: the fast paths' vector target, or "plain".
const char *build_name() {
#if RELVANE_SIMD
    return hwy::TargetName(HWY_STATIC_TARGET);
#else
    return "plain";
#endif
}

// Emscripten's SDL reads the canvas back into the screen before every frame
// and sets each pixel's alpha byte on the way in and out, unless told that
// the screen alone draws the canvas and that its alpha bytes are opaque
// already. The displays never write those bytes, so they are set once here
// and every flip is a plain copy of the screen's words. The pictures are
// the same.
void open_canvas(SDL_Surface *screen) {
    const SDL_PixelFormat *f = screen->format;
    if (f == nullptr || f->BytesPerPixel != 4 || (f->Amask != 0xFF000000u && f->Amask != 0x000000FFu)) return;
    EM_ASM({
        SDL.defaults.opaqueFrontBuffer = false;
        Module.screenIsReadOnly = true;
    });
    SDL_LockSurface(screen);
    const int alpha = f->Amask == 0xFF000000u ? 3 : 0;
    for (int y = 0; y < screen->h; y++) {
        auto *row = static_cast<Uint8 *>(screen->pixels) + static_cast<ptrdiff_t>(y) * screen->pitch;
        for (int x = 0; x < screen->w; x++) row[4 * x + alpha] = 0xFF;
    }
    SDL_UnlockSurface(screen);
}

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
    open_canvas(demo.screen);
    EM_ASM({ if (Module.showBuild) Module.showBuild(UTF8ToString($0)); }, build_name());
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
