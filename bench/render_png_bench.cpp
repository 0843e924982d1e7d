// relvane-render's largest routine jobs: a 4097 x 4097 picture and its
// heightmap, rendered and encoded to PNG files (the seconds of each half,
// the encoder's share and the process's peak memory); and a 4097 x 4097
// heightmap with its colour map read back, shaded and written as a picture
// (the seconds of each step, beside those of writing the two maps).
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "bench_support.h"
#include "demo.h"
#include "pictures.h"
#include "png_file.h"
#include "render_options.h"
#include "render_run.h"
#include "terrain_files.h"

namespace {

double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Encodes one picture to path; false on any failure.
bool write(const std::string &path, const PngPicture &picture, uint8_t *row) {
    PendingFile f;
    std::string error;
    const bool ok = PendingOpen(&f, path, &error) == 0 && PendingWritePng(&f, picture, row, &error) == 0 &&
                    PendingCommit(&f, &error) == 0;
    PendingDiscard(&f);
    return ok;
}

void RenderPng(benchmark::State &state) {
    const auto side = int32_t(state.range(0));
    RenderOptions options;
    options.width = options.height = side;
    rv_Demo demo;
    rv_DemoLoop loop;
    RenderSetUp(&demo, &loop, options);
    demo.threads = bench::threads;
    demo.screen = bench::new_screen(side + 1, side + 1);
    char dir[] = "/tmp/relvane-bench-XXXXXX";
    if (!demo.screen || rv_DemoCreateObjects(&demo, &loop) != 0 || !mkdtemp(dir)) {
        state.SkipWithError("out of memory or no temporary folder");
        return;
    }
    const std::string picture = std::string(dir) + "/picture.png", heights = std::string(dir) + "/heights.png";
    auto row = std::make_unique<uint8_t[]>(PngRowBytes(side + 1, true) + PngRowBytes(side, false));
    double render = 0, encode = 0;
    for (auto _ : state) {
        const double t0 = cpu_seconds();
        demo.scene_dirty = 1;
        rv_DemoBuildDueLandscape(&demo, &loop, 0.0f);
        rv_DemoBuildView(&demo, &loop);
        rv_DemoShow(&demo);
        const double t1 = cpu_seconds();
        if (!write(heights, HeightPicture(demo.scene), row.get()) ||
            !write(picture, ScreenPicture(demo.screen), row.get()))
            state.SkipWithError("cannot write the PNG files");
        encode += cpu_seconds() - t1;
        render += t1 - t0;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double n = double(state.iterations());
    state.counters["render_s"] = render / n;
    state.counters["encode_s"] = encode / n;
    state.counters["encode_share"] = encode / (render + encode);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024.0;
    unlink(picture.c_str());
    unlink(heights.c_str());
    rmdir(dir);
    SDL_Surface *screen = demo.screen;
    rv_DemoRelease(&demo, &loop);
    SDL_FreeSurface(screen);
}

BENCHMARK(RenderPng)->Arg(4097)->Unit(benchmark::kMillisecond)->Iterations(3);

void TerrainPng(benchmark::State &state) {
    const auto side = int32_t(state.range(0));  // the maps' side; the picture is one smaller
    RenderOptions options;
    options.width = options.height = side - 1;
    rv_Demo demo;
    rv_DemoLoop loop;
    RenderSetUp(&demo, &loop, options);
    demo.screen = bench::new_screen(side, side);
    char dir[] = "/tmp/relvane-bench-XXXXXX";
    if (!demo.screen || rv_DemoCreateObjects(&demo, &loop) != 0 || !mkdtemp(dir)) {
        state.SkipWithError("out of memory or no temporary folder");
        return;
    }
    const std::string d(dir);
    options.terrain = d + "/heights.png";
    options.colours = d + "/colours.png";
    const std::string picture = d + "/picture.png";
    auto row = std::make_unique<uint8_t[]>(PngRowBytes(side, false));
    rv_DemoBuildDueLandscape(&demo, &loop, 0.0f);
    double maps = 0, read = 0, shade = 0, encode = 0;
    for (auto _ : state) {
        const double t0 = cpu_seconds();
        if (!write(options.terrain, HeightPicture(demo.scene), row.get()) ||
            !write(options.colours, ColourPicture(demo.scene), row.get()))
            state.SkipWithError("cannot write the maps");
        const double t1 = cpu_seconds();
        TerrainFiles files;
        std::string error;
        if (TerrainOpen(&files, options, &error) != 0 || TerrainRead(&files, demo.scene, &error) != 0)
            state.SkipWithError(error.c_str());
        TerrainClose(&files);
        const double t2 = cpu_seconds();
        rv_DemoBuildView(&demo, &loop);
        rv_DemoShow(&demo);
        const double t3 = cpu_seconds();
        if (!write(picture, ScreenPicture(demo.screen), row.get())) state.SkipWithError("cannot write");
        encode += cpu_seconds() - t3;
        shade += t3 - t2;
        read += t2 - t1;
        maps += t1 - t0;
    }
    const double n = double(state.iterations());
    state.counters["maps_write_s"] = maps / n;
    state.counters["read_s"] = read / n;
    state.counters["shade_s"] = shade / n;
    state.counters["write_s"] = encode / n;
    for (const std::string &f : {options.terrain, options.colours, picture}) unlink(f.c_str());
    rmdir(dir);
    SDL_Surface *screen = demo.screen;
    rv_DemoRelease(&demo, &loop);
    SDL_FreeSurface(screen);
}

BENCHMARK(TerrainPng)->Arg(4097)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
