// The test program's picture in one call: relvane-render's options and
// run steps (set-up, landscape, view, display), the screen a NumPy array,
// and the landscape optionally taken from arrays instead of built.
#include <pybind11/stl.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "demo.h"
#include "given_landscape.h"
#include "render_options.h"
#include "render_run.h"
#include "terrain_files.h"
#include "screen.h"

namespace rvpy {

namespace {

using Heights = py::array_t<uint16_t, 0>;
using Colours = py::array_t<uint8_t, 0>;

// relvane-render's reading of the options, its message a ValueError.
RenderOptions read_options(const std::vector<std::string> &args) {
    std::vector<std::string> all{"relvane-render"};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back("--");
    all.push_back("picture.png");
    std::vector<char *> argv;
    for (std::string &a : all) argv.push_back(a.data());
    RenderOptions options;
    std::string error;
    if (RenderReadArgs(&options, static_cast<int>(argv.size()), argv.data(), &error) != 0)
        throw py::value_error(error);
    return options;
}

// The demo record and the engine objects of one call, released in order.
struct Run {
    rv_Demo demo{};
    rv_DemoLoop loop{};
    ~Run() { rv_DemoRelease(&demo, &loop); }
};

// Context, landscape and view (with_view) of w x h, pipe and threads;
// MemoryError when short.
void allocate(Run &run, int32_t w, int32_t h, bool with_view, int32_t threads) {
    rv_Demo &d = run.demo;
    run.loop.context = rv_NewContext();
    bool ok = run.loop.context && (d.scene = rv_NewSurface(run.loop.context, w, h)) &&
              (!with_view || (d.view = rv_NewSurface(run.loop.context, w, h))) &&
              rv_DemoSetUpPipe(&d, &run.loop) == 0;
    if (!ok) {
        const int64_t mib = (int64_t{w} * h * (with_view ? 2 : 1) * int64_t(sizeof(rv_Pixel)) +
                             int64_t(d.width) * d.height * 3) >> 20;
        out_of_memory("a " + std::to_string(d.width) + " x " + std::to_string(d.height) + " picture of " +
                      std::to_string(w) + " x " + std::to_string(h) + " surfaces needs about " +
                      std::to_string(mib) + " MiB");
    }
    if (rv_SetThreads(run.loop.context, threads) != 0)
        throw py::value_error("threads: " + std::to_string(threads) +
                              ", but this build runs on the caller's thread only (0 or 1)");
}

// An array's rows as groups of n elements (n = 1: heights, 3: colours),
// read without the interpreter lock.
template <typename T, int n>
struct Rows {
    const char *data;
    ptrdiff_t row, column, channel;
    Rows() : data(nullptr), row(0), column(0), channel(0) {}
    explicit Rows(const py::array_t<T, 0> &a)
        : data(reinterpret_cast<const char *>(a.data())), row(a.strides(0)), column(a.strides(1)),
          channel(n > 1 ? a.strides(2) : ptrdiff_t{sizeof(T)}) {}
    // Row y in place when it is laid out as the engine reads it, else
    // copied into buffer (width groups): a strided view costs one row.
    const T *get(int32_t y, int32_t width, T *buffer) const {
        const char *r = data + y * row;
        if (column == n * ptrdiff_t{sizeof(T)} && channel == ptrdiff_t{sizeof(T)} &&
            reinterpret_cast<uintptr_t>(r) % alignof(T) == 0)
            return reinterpret_cast<const T *>(r);
        for (int32_t x = 0; x < width; ++x)
            for (int k = 0; k < n; ++k) std::memcpy(&buffer[x * n + k], r + x * column + k * channel, sizeof(T));
        return buffer;
    }
};

// The landscape as given, filled as relvane-render fills it from files.
void take_landscape(rv_Surface *scene, const Heights &terrain, const py::object &colours) {
    const Rows<uint16_t, 1> z(terrain);
    const bool coloured = !colours.is_none();
    const Colours rgb = coloured ? colours.cast<Colours>() : Colours();
    const Rows<uint8_t, 3> c = coloured ? Rows<uint8_t, 3>(rgb) : Rows<uint8_t, 3>();
    std::vector<uint16_t> z_row(size_t(scene->width));
    std::vector<uint8_t> rgb_row(coloured ? 3 * size_t(scene->width) : 0);
    py::gil_scoped_release released;
    for (int32_t y = 0; y < scene->height; ++y)
        GivenLandscapeRow(scene, y, z.get(y, scene->width, z_row.data()),
                             coloured ? c.get(y, scene->width, rgb_row.data()) : nullptr);
}

// The landscape of the options, built or taken, in run.demo.scene.
void landscape_into(Run &run, const py::object &terrain, const py::object &colours) {
    rv_Demo &d = run.demo;
    if (terrain.is_none()) {
        py::gil_scoped_release released;
        rv_DemoBuildDueLandscape(&d, &run.loop, 0.0f);
        return;
    }
    take_landscape(d.scene, terrain.cast<Heights>(), colours);
    d.scene_dirty = 0;
    d.view_dirty = 1;
}

// The surfaces of one call set up by RenderSetUp: those of the
// options, or (with terrain) surfaces of the terrain's size, as
// relvane-render makes them from a file, within the same limits.
void set_up(Run &run, const RenderOptions &options, const py::object &terrain, const py::object &colours,
            bool with_view) {
    int64_t w = int64_t{options.width} + 1, h = int64_t{options.height} + 1;
    if (!terrain.is_none()) {
        const Heights z = terrain.cast<Heights>();
        if (z.ndim() != 2) throw py::value_error("terrain: expected rows and columns of heights");
        h = z.shape(0);
        w = z.shape(1);
        if (w < 1 || h < 1 || w > kTerrainMaxSide || h > kTerrainMaxSide || w * h > kTerrainMaxPixels)
            throw py::value_error("terrain: " + std::to_string(w) + " x " + std::to_string(h) +
                                  " pixels; the surfaces hold 1 to " + std::to_string(kTerrainMaxSide) +
                                  " on a side and up to 2^30 pixels");
        if (!colours.is_none()) {
            const Colours c = colours.cast<Colours>();
            if (c.ndim() != 3 || c.shape(0) != h || c.shape(1) != w || c.shape(2) != 3)
                throw py::value_error("colours: expected the terrain's shape and 3");
        }
    }
    allocate(run, static_cast<int32_t>(w), static_cast<int32_t>(h), with_view, options.threads);
}

// The Python layer checks the arrays first, naming what it expected.
py::array_t<uint8_t> render(const std::vector<std::string> &args, py::object terrain, py::object colours) {
    const RenderOptions options = read_options(args);
    Run run;
    RenderSetUp(&run.demo, &run.loop, options);
    Screen screen(options.width, options.height);
    run.demo.screen = screen.screen;
    set_up(run, options, terrain, colours, true);
    landscape_into(run, terrain, colours);
    {
        py::gil_scoped_release released;
        if (run.demo.view_dirty) rv_DemoBuildView(&run.demo, &run.loop);
        rv_DemoShow(&run.demo);
    }
    run.demo.screen = nullptr;
    return screen.array;
}

py::object landscape(const std::vector<std::string> &args, py::object terrain, py::object colours) {
    const RenderOptions options = read_options(args);
    Run run;
    RenderSetUp(&run.demo, &run.loop, options);
    set_up(run, options, terrain, colours, false);
    landscape_into(run, terrain, colours);
    // The context and the landscape leave the run for Python objects.
    py::object context = py::cast(new Context(run.loop.context), py::return_value_policy::take_ownership);
    run.loop.context = nullptr;
    Context &c = context.cast<Context &>();
    py::object surface = py::cast(new Surface(run.demo.scene, c.turn, context, py::none()),
                                  py::return_value_policy::take_ownership);
    run.demo.scene = nullptr;
    return surface;
}

}  // namespace

void bind_render(py::module_ &m) {
    m.def("_render", &render, py::arg("args"), py::arg("terrain"), py::arg("colours"));
    m.def("_landscape", &landscape, py::arg("args"), py::arg("terrain"), py::arg("colours"));
}

}  // namespace rvpy
