// relvane-render's largest routine jobs: a 4097 x 4097 picture and its
// heightmap, rendered and encoded to PNG files (the seconds of each half,
// the encoder's share and the process's peak memory); and a 4097 x 4097
// heightmap with its colour map read back, shaded and written as a picture
// (the seconds of each step, beside those of writing the two maps), the
// heights also from a float32 GeoTIFF where the build reads them.
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
#ifdef RELVANE_GDAL
#include "gdal_raster.h"
#endif

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

#ifdef RELVANE_GDAL
// A float32 GeoTIFF row of the scene's heights, in height units.
void elevation_row(const void *source, int32_t y, float *out) {
    const auto *s = static_cast<const rv_Surface *>(source);
    const rv_Pixel *p = s->pixels + static_cast<ptrdiff_t>(y) * s->pitch;
    for (int32_t x = 0; x < s->width; ++x) out[x] = static_cast<float>(p[x].z / 256.0);
}
#endif

// Writes the heights as a PNG or (tiff) a float32 GeoTIFF; false on failure.
bool write_heights(const std::string &path, const rv_Surface *scene, uint8_t *row, bool tiff) {
#ifdef RELVANE_GDAL
    if (tiff) {
        const double plain[6] = {0, 1, 0, 0, 0, 1};
        std::string error;
        return GdalWriteElevations(path, path, scene->width, scene->height, plain, std::string(), TerrainMapping{},
                                   elevation_row, scene, &error) == 0;
    }
#endif
    (void)tiff;
    return write(path, HeightPicture(scene), row);
}

void terrain_read(benchmark::State &state, bool tiff) {
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
    options.terrain = d + (tiff ? "/heights.tif" : "/heights.png");
    options.colours = d + "/colours.png";
    const std::string picture = d + "/picture.png";
    auto row = std::make_unique<uint8_t[]>(PngRowBytes(side, false));
    rv_DemoBuildDueLandscape(&demo, &loop, 0.0f);
    double maps = 0, read = 0, shade = 0, encode = 0;
    for (auto _ : state) {
        const double t0 = cpu_seconds();
        if (!write_heights(options.terrain, demo.scene, row.get(), tiff) ||
            !write(options.colours, ColourPicture(demo.scene), row.get()))
            state.SkipWithError("cannot write the maps");
        const double t1 = cpu_seconds();
        TerrainFiles files;
        std::string error;
        if (TerrainOpen(&files, options, &error) != 0 || TerrainRead(&files, options, demo.scene, &error) != 0)
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

void TerrainPng(benchmark::State &state) { terrain_read(state, false); }
BENCHMARK(TerrainPng)->Arg(4097)->Unit(benchmark::kMillisecond)->Iterations(3);

#ifdef RELVANE_GDAL
// The same heights from a float32 GeoTIFF (DEFLATE, as relvane-render
// writes them), the colours from the PNG as above.
void TerrainTiff(benchmark::State &state) { terrain_read(state, true); }
BENCHMARK(TerrainTiff)->Arg(4097)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

}  // namespace
