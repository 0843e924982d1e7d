// The render run in its two steps: prepare (check the files, allocate, read
// a given terrain), then per frame build, show, encode and commit.
#include "render_run.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "interrupt_cleanup.h"
#include "output_paths.h"
#include "pictures.h"
#include "png_file.h"
#include "terrain_files.h"

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
    TerrainFiles terrain;
    ~Objects() {
        SDL_Surface *screen = demo.screen;
        rv_DemoRelease(&demo, &loop);
        if (screen) SDL_FreeSurface(screen);
        TerrainClose(&terrain);
    }
};

// Screen, context, surfaces of w x h, pipe and row buffer; false when any
// is short.
bool allocate(Objects *o, int32_t w, int32_t h) {
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
    if (!(d.scene = rv_NewSurface(o->loop.context, w, h))) return false;
    if (!(d.view = rv_NewSurface(o->loop.context, w, h))) return false;
    if (rv_DemoSetUpPipe(&d, &o->loop) != 0) return false;
    const size_t bytes = std::max(PngRowBytes(d.width, false), PngRowBytes(std::max(w, 1), false));
    o->row.reset(new (std::nothrow) uint8_t[bytes]);
    return o->row != nullptr;
}

bool GeoTiffName(const std::string &path);

int fail(int status, const std::string &message) {
    std::fprintf(stderr, "relvane-render: %s\n", message.c_str());
    return status;
}

// Everything before the first frame: the files checked, the given terrain
// opened, memory allocated, the threads set and the terrain read. Returns
// 0, or the exit status after the message.
int prepare(Objects *o, const RenderOptions &options) {
    std::string error;
    if (const int status = RenderCheckFiles(options, &error)) return fail(status, error);
#ifndef RELVANE_GDAL
    if (GeoTiffName(options.heightmap))
        return fail(2, "--heightmap: '" + options.heightmap + "': GeoTIFF needs a build with GDAL");
#endif
    RenderOptions sized = options;
    const bool given = !options.terrain.empty();
    if (given) {
        if (const int status = TerrainOpen(&o->terrain, options, &error)) return fail(status, error);
        if (!options.width_given) sized.width = o->terrain.width - 1;
        if (!options.height_given) sized.height = o->terrain.height - 1;
        if (o->terrain.mapping.lowered)
            std::fprintf(stderr, "relvane-render: '%s': %s\n", options.terrain.c_str(),
                         MappingNote(o->terrain.mapping).c_str());
        if (!options.unused_with_terrain.empty())
            std::fprintf(stderr, "relvane-render: %s: no effect with --terrain\n", options.unused_with_terrain.c_str());
    }
    rv_Demo &d = o->demo;
    RenderSetUp(&d, &o->loop, sized);
    const int32_t w = given ? o->terrain.width : d.width + 1;
    const int32_t h = given ? o->terrain.height : d.height + 1;
    if (!allocate(o, w, h)) {
        const int64_t mib = (int64_t{w} * h * 2 * static_cast<int64_t>(sizeof(rv_Pixel)) +
                             static_cast<int64_t>(d.width) * d.height * 3) >> 20;
        return fail(1, "out of memory: a " + std::to_string(d.width) + " x " + std::to_string(d.height) +
                           " picture of " + std::to_string(w) + " x " + std::to_string(h) + " surfaces needs about " +
                           std::to_string(mib) + " MiB");
    }
    if (rv_SetThreads(o->loop.context, options.threads) != 0)
        return fail(2, "--threads=" + std::to_string(options.threads) + ": this build runs on one thread only");
    if (given) {
        if (const int status = TerrainRead(&o->terrain, options, d.scene, &error)) return fail(status, error);
        TerrainClose(&o->terrain);
        d.scene_dirty = 0;
    }
    return 0;
}

// Whether a heightmap name asks for a GeoTIFF: .tif or .tiff, any case.
bool GeoTiffName(const std::string &path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
    std::string ext = path.substr(dot + 1);
    for (char &c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "tif" || ext == "tiff";
}

#ifdef RELVANE_GDAL
// The heights as elevations: a given terrain's by its mapping, nodata kept,
// and its georeferencing; a built landscape's in height units.
struct Elevations {
    const rv_Surface *surface;
    const TerrainFiles *terrain;
};

void elevation_row(const void *source, int32_t y, float *out) {
    const auto *e = static_cast<const Elevations *>(source);
    const rv_Pixel *p = e->surface->pixels + static_cast<ptrdiff_t>(y) * e->surface->pitch;
    for (int32_t x = 0; x < e->surface->width; ++x)
        out[x] = TerrainNodata(*e->terrain, x, y) ? NAN
                                                  : static_cast<float>(MappingElevation(e->terrain->mapping, p[x].z));
}
#endif

int write_elevations(PendingFile *file, const TerrainFiles &terrain, const rv_Surface *surface, std::string *error) {
#ifdef RELVANE_GDAL
    std::fclose(file->file);
    file->file = nullptr;
    const Elevations source{surface, &terrain};
    return GdalWriteElevations(file->temp, file->path, surface->width, surface->height, terrain.transform,
                               terrain.georeferenced ? terrain.crs : std::string(), terrain.mapping, elevation_row,
                               &source, error);
#else
    (void)file, (void)terrain, (void)surface;
    *error = "GeoTIFF needs a build with GDAL";
    return 1;
#endif
}

// Renames a frame's finished files into place together, with the signals
// held: all of them, or (when a rename fails) none, the ones already
// renamed removed again.
int commit_all(PendingFile *files, size_t count, std::string *error) {
    CleanupBlock();
    int status = 0;
    size_t done = 0;
    for (; done < count && status == 0; ++done) status = PendingCommit(&files[done], error);
    if (status != 0)
        for (size_t i = 0; i + 1 < done; ++i) unlink(files[i].target.c_str());
    CleanupUnblock();
    return status;
}

// Frame k (0: the one picture): its files opened, the landscape built or
// the given one taken, its heights and colours written, the view shaded and
// shown, the picture written, and all of them committed. None of its files
// is left when any fails.
int write_frame(Objects *o, const RenderOptions &options, int32_t k, const Progress &stages,
                std::string *error) {
    rv_Demo &d = o->demo;
    const std::vector<RunFile> names = RenderFrameFiles(options, k);
    PendingFile files[3];
    int status = 0;
    for (size_t i = 0; i < names.size() && status == 0; ++i) status = PendingOpen(&files[i], names[i].path, error);
    if (status == 0) {
        rv_Surface *target = d.scene;
        if (options.terrain.empty()) {
            stages.say("building the landscape");
            target = rv_DemoBuildDueLandscape(&d, &o->loop, d.animate ? static_cast<float>(1.0 / options.fps) : 0.0f);
        } else {
            d.view_dirty = 1;  // the tilted view changes the view it shows
        }
        // The heights and colours as built: the view build and the tilted
        // view change the view afterwards.
        for (size_t i = 1; i < names.size() && status == 0; ++i) {
            const bool heights = std::strcmp(names[i].role, "--heightmap") == 0;
            stages.say(heights ? "writing the heightmap" : "writing the colours");
            if (heights && GeoTiffName(names[i].path))
                status = write_elevations(&files[i], o->terrain, target, error);
            else
                status = PendingWritePng(&files[i], heights ? HeightPicture(target) : ColourPicture(target),
                                            o->row.get(), error);
        }
    }
    if (status == 0) {
        stages.say("shading the view");
        if (d.view_dirty) rv_DemoBuildView(&d, &o->loop);
        stages.say("drawing the picture");
        rv_DemoShow(&d);
        stages.say("writing the picture");
        status = PendingWritePng(&files[0], ScreenPicture(d.screen), o->row.get(), error);
    }
    if (status == 0) status = commit_all(files, names.size(), error);
    for (PendingFile &f : files) PendingDiscard(&f);
    return status;
}

}  // namespace

void RenderSetUp(rv_Demo *demo, rv_DemoLoop *loop, const RenderOptions &o) {
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
    demo->animate = o.frames > 0 && o.terrain.empty();
}

int RenderRun(const RenderOptions &options, bool progress) {
    CleanupInstall();
    Objects o;
    if (const int status = prepare(&o, options)) return status;
    const int64_t pixels = int64_t{o.demo.scene->width} * o.demo.scene->height;
    const Progress show{progress && options.frames > 1};
    const Progress stages{progress && options.frames <= 1 && pixels >= kLargePicture};
    const int32_t count = options.frames > 0 ? options.frames : 1;
    std::string error;
    for (int32_t k = 1; k <= count; ++k) {
        if (write_frame(&o, options, options.frames > 0 ? k : 0, stages, &error) != 0) {
            show.done();
            stages.done();
            return fail(1, error);
        }
        show.say("frame " + std::to_string(k) + " of " + std::to_string(count));
    }
    show.done();
    stages.done();
    return 0;
}
