// From the command line to the first frame: screen, caption, engine objects.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "demo.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/html5.h>
#endif

namespace {

// Writes a failure line to standard error.
void fail(const char *message) {
    std::fwrite(message, 1, std::strlen(message), stderr);
}

// SDL 1.2 keeps a screen's pitch and clip rectangle in 16-bit fields: a
// larger mode corrupts its memory instead of failing, and a negative side
// can bring down its connection to the display, so neither is asked for.
// 0 stays allowed: SDL takes the display's own size for it.
bool screen_side_usable(int32_t side) { return side >= 0 && side <= 16384; }

#ifdef __EMSCRIPTEN__
// The browser's SDL takes the canvas's size for a 0 x 0 mode only; a single
// 0 side would give a canvas nothing can be drawn on. The canvas's side
// stands in for it, as the display's does on the desktop.
void canvas_sides(rv_Demo *demo) {
    if ((demo->width == 0) == (demo->height == 0)) return;
    int w = 0, h = 0;
    if (emscripten_get_canvas_element_size("#canvas", &w, &h) != EMSCRIPTEN_RESULT_SUCCESS) return;
    if (demo->width == 0) demo->width = w;
    if (demo->height == 0) demo->height = h;
}
#else
void canvas_sides(rv_Demo *) {}
#endif

}  // namespace

int32_t rv_DemoCreateObjects(rv_Demo *demo, rv_DemoLoop *loop) {
    // The display walks the screen SDL returned, which may differ from the
    // request: the surfaces are sized from it, one column and row larger.
    const int64_t w = static_cast<int64_t>(demo->screen->w) + 1;
    const int64_t h = static_cast<int64_t>(demo->screen->h) + 1;
    loop->context = rv_NewContext();
    // A count the engine cannot have (negative, or threads where there are
    // none) leaves it on the program's own thread.
    if (loop->context) rv_SetThreads(loop->context, demo->threads);
    if (loop->context && w <= INT32_MAX && h <= INT32_MAX) {
        demo->scene = rv_NewSurface(loop->context, static_cast<int32_t>(w), static_cast<int32_t>(h));
        if (demo->scene)
            demo->view = rv_NewSurface(loop->context, static_cast<int32_t>(w), static_cast<int32_t>(h));
        if (demo->view && rv_DemoSetUpPipe(demo, loop) == 0) return 0;
    }
    rv_DemoRelease(demo, loop);
    fail("Failed to create engine objects!\n");
    return -1;
}

void rv_DemoRelease(rv_Demo *demo, rv_DemoLoop *loop) {
    if (demo->view) rv_FreeSurface(demo->view);
    if (demo->scene) rv_FreeSurface(demo->scene);
    if (demo->pipe) rv_FreePipe(demo->pipe);
    if (loop->context) rv_FreeContext(loop->context);
    demo->view = nullptr;
    demo->scene = nullptr;
    demo->pipe = nullptr;
    loop->context = nullptr;
}

int rv_DemoStart(rv_Demo *demo, rv_DemoLoop *loop, int argc, char **argv) {
    if (argc > 1) rv_DemoReadArgs(demo, argc, argv);
    std::fflush(stdout);
    canvas_sides(demo);
    if (screen_side_usable(demo->width) && screen_side_usable(demo->height))
        demo->screen = SDL_SetVideoMode(demo->width, demo->height, 24, demo->video_flags);
    if (!demo->screen) {
        fail("Failed to open screen!\n");
        return 1;
    }
    SDL_WM_SetCaption("Relvane Test", "Relvane");
    return rv_DemoCreateObjects(demo, loop) == 0 ? 0 : 1;
}
