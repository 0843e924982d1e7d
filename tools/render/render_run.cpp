// The render loop: allocate everything, then per frame build, show, encode
// and commit.
#include "render_run.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "pictures.h"
#include "png_file.h"

namespace {

// Surface sizes from which a single picture reports its stages.
constexpr int64_t kLargePicture = 4 << 20;

// Progress on standard error, one line rewritten in place.
struct Progress {
    bool on;
    void say(const std::string &text) const {
        if (!on) return;
        std::fprintf(stderr, "\r\033[Krelvane-render: %s", text.c_str());
        std::fflush(stderr);
    }
    void done() const {
        if (on) std::fputs("\r\033[K", stderr);
    }
};

// Everything a run holds, released in the right order.
struct Objects {
    rv_Demo demo{};
    rv_DemoLoop loop{};
    std::unique_ptr<uint8_t[]> screen_pixels;
    std::unique_ptr<uint8_t[]> row;
    ~Objects() {
        SDL_Surface *screen = demo.screen;
        rv_DemoRelease(&demo, &loop);
        if (screen) SDL_FreeSurface(screen);
    }
};

// Screen, context, surfaces, pipe and row buffer; false when any is short.
bool allocate(Objects *o) {
    rv_Demo &d = o->demo;
    // The screen the test program's 24-bit X11 window has on a little-endian
    // machine, over pixels of our own: SDL 1.2 creates no surface 16384 or
    // more wide itself, though its 16-bit pitch holds such a row.
    const int32_t pitch = (d.width * 3 + 3) & ~3;
    o->screen_pixels.reset(new (std::nothrow) uint8_t[static_cast<size_t>(pitch) * static_cast<size_t>(d.height)]());
    if (!o->screen_pixels) return false;
    d.screen = SDL_CreateRGBSurfaceFrom(o->screen_pixels.get(), d.width, d.height, 24, pitch, 0xFF0000,
                                        0x00FF00, 0x0000FF, 0);
    if (!d.screen) return false;
    o->loop.context = rv_NewContext();
    if (!o->loop.context) return false;
    if (!(d.scene = rv_NewSurface(o->loop.context, d.width + 1, d.height + 1))) return false;
    if (!(d.view = rv_NewSurface(o->loop.context, d.width + 1, d.height + 1))) return false;
    if (rv_DemoSetUpPipe(&d, &o->loop) != 0) return false;
    const size_t bytes = std::max(rv_PngRowBytes(d.width, false), rv_PngRowBytes(d.width + 1, true));
    o->row.reset(new (std::nothrow) uint8_t[bytes]);
    return o->row != nullptr;
}

int fail(const std::string &message) {
    std::fprintf(stderr, "relvane-render: %s\n", message.c_str());
    return 1;
}

}  // namespace

void rv_RenderSetUp(rv_Demo *demo, rv_DemoLoop *loop, const rv_RenderOptions &o) {
    rv_DemoDefaults(demo, loop);
    rv_DemoStopIntro(demo);
    demo->width = o.width;
    demo->height = o.height;
    demo->tile_size = o.tile_size;
    demo->phase = o.phase;
    demo->terrain_roughness = o.roughness;
    demo->terrain_amplitude = o.amplitude;
    demo->terrain_base = o.base;
    demo->water_level = o.water;
    demo->haze = o.haze;
    demo->light_angle = o.light;
    demo->view_angle = o.view;
    demo->display_mode = o.mode;
    demo->display_scale = o.scale;
    demo->shapes = o.shapes;
    demo->slopes = o.slopes;
    demo->shadows = o.shadows;
    demo->animate = o.frames > 0;
}

int rv_RenderRun(const rv_RenderOptions &options, bool progress) {
    Objects o;
    rv_RenderSetUp(&o.demo, &o.loop, options);
    rv_Demo &d = o.demo;
    const int64_t pixels = static_cast<int64_t>(d.width + 1) * (d.height + 1);
    if (!allocate(&o)) {
        const int64_t mib = (pixels * 2 * static_cast<int64_t>(sizeof(rv_Pixel)) +
                             static_cast<int64_t>(d.width) * d.height * 3) >> 20;
        return fail("out of memory: a " + std::to_string(d.width) + " x " + std::to_string(d.height) +
                    " picture needs about " + std::to_string(mib) + " MiB");
    }

    const Progress show{progress && options.frames > 1};
    const Progress stages{progress && options.frames <= 1 && pixels >= kLargePicture};
    const int32_t count = options.frames > 0 ? options.frames : 1;
    const float dt = static_cast<float>(1.0 / options.fps);
    const bool heights = !options.heightmap.empty();
    const rv_PngPicture picture = rv_ScreenPicture(d.screen);
    std::string error;
    for (int32_t k = 1; k <= count; ++k) {
        rv_PendingFile out, map;
        const bool sequence = options.frames > 0;
        int status = rv_PendingOpen(&out, sequence ? rv_RenderFrameName(options.output, k) : options.output, &error);
        if (status == 0 && heights)
            status = rv_PendingOpen(&map, sequence ? rv_RenderFrameName(options.heightmap, k) : options.heightmap, &error);
        if (status == 0) {
            stages.say("building the landscape");
            rv_Surface *target = rv_DemoBuildDueLandscape(&d, &o.loop, d.animate ? dt : 0.0f);
            // The heights as built: the view build and the tilted view
            // change the view afterwards.
            if (heights) {
                stages.say("writing the heightmap");
                status = rv_PendingWritePng(&map, rv_HeightPicture(target), o.row.get(), &error);
            }
        }
        if (status == 0) {
            stages.say("shading the view");
            if (d.view_dirty) rv_DemoBuildView(&d, &o.loop);
            stages.say("drawing the picture");
            rv_DemoShow(&d);
            stages.say("writing the picture");
            status = rv_PendingWritePng(&out, picture, o.row.get(), &error);
        }
        if (status == 0) status = rv_PendingCommit(&out, &error);
        if (status == 0 && heights) status = rv_PendingCommit(&map, &error);
        rv_PendingDiscard(&out);
        rv_PendingDiscard(&map);
        if (status != 0) {
            show.done();
            stages.done();
            return fail(error);
        }
        show.say("frame " + std::to_string(k) + " of " + std::to_string(count));
    }
    show.done();
    stages.done();
    return 0;
}
