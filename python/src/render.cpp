// The test program's picture in one call: relvane-render's options and
// run steps (set-up, landscape, view, display), the screen a NumPy array,
// and the landscape optionally taken from arrays instead of built.
#include <pybind11/stl.h>

#include <string>
#include <vector>

#include "demo.h"
#include "render_options.h"
#include "render_run.h"
#include "screen.h"

namespace rvpy {

namespace {

using Heights = py::array_t<uint16_t, 0>;
using Colours = py::array_t<uint8_t, 0>;

// relvane-render's reading of the options, its message a ValueError.
rv_RenderOptions read_options(const std::vector<std::string> &args) {
    std::vector<std::string> all{"relvane-render"};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back("--");
    all.push_back("picture.png");
    std::vector<char *> argv;
    for (std::string &a : all) argv.push_back(a.data());
    rv_RenderOptions options;
    std::string error;
    if (rv_RenderReadArgs(&options, static_cast<int>(argv.size()), argv.data(), &error) != 0)
        throw py::value_error(error);
    return options;
}

// The demo record and the engine objects of one call, released in order.
struct Run {
    rv_Demo demo{};
    rv_DemoLoop loop{};
    ~Run() { rv_DemoRelease(&demo, &loop); }
};

// Context, landscape, view (with_view) and pipe; MemoryError when short.
void allocate(Run &run, int32_t threads, bool with_view) {
    rv_Demo &d = run.demo;
    const int64_t pixels = int64_t(d.width + 1) * (d.height + 1);
    run.loop.context = rv_NewContext();
    bool ok = run.loop.context && (d.scene = rv_NewSurface(run.loop.context, d.width + 1, d.height + 1)) &&
              (!with_view || (d.view = rv_NewSurface(run.loop.context, d.width + 1, d.height + 1))) &&
              rv_DemoSetUpPipe(&d, &run.loop) == 0;
    if (!ok) {
        const int64_t mib = (pixels * (with_view ? 2 : 1) * int64_t(sizeof(rv_Pixel)) +
                             int64_t(d.width) * d.height * 3) >> 20;
        out_of_memory("a " + std::to_string(d.width) + " x " + std::to_string(d.height) +
                      " picture needs about " + std::to_string(mib) + " MiB");
    }
    if (rv_SetThreads(run.loop.context, threads) != 0)
        throw py::value_error("threads: " + std::to_string(threads) +
                              ", but this build runs on the caller's thread only (0 or 1)");
}

// The landscape taken as given: heights from terrain, colours from colours
// or the build's ground colour, opaque and unlit-neutral.
void take_landscape(rv_Surface *scene, const Heights &terrain, const py::object &colours) {
    const auto z = terrain.unchecked<2>();
    const bool coloured = !colours.is_none();
    Colours rgb = coloured ? colours.cast<Colours>() : Colours();
    py::gil_scoped_release released;
    for (int32_t y = 0; y < scene->height; ++y) {
        rv_Pixel *row = scene->pixels + static_cast<ptrdiff_t>(y) * scene->pitch;
        for (int32_t x = 0; x < scene->width; ++x) row[x] = rv_Pixel{160, 128, 96, 255, 256, z(y, x)};
        if (!coloured) continue;
        const auto c = rgb.unchecked<3>();
        for (int32_t x = 0; x < scene->width; ++x) {
            row[x].red = c(y, x, 0);
            row[x].green = c(y, x, 1);
            row[x].blue = c(y, x, 2);
        }
    }
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

// Array shapes and types are checked by the Python layer before this.
py::array_t<uint8_t> render(const std::vector<std::string> &args, py::object terrain, py::object colours,
                            int32_t threads) {
    const rv_RenderOptions options = read_options(args);
    Run run;
    rv_RenderSetUp(&run.demo, &run.loop, options);
    Screen screen(options.width, options.height);
    run.demo.screen = screen.screen;
    allocate(run, threads, true);
    landscape_into(run, terrain, colours);
    {
        py::gil_scoped_release released;
        if (run.demo.view_dirty) rv_DemoBuildView(&run.demo, &run.loop);
        rv_DemoShow(&run.demo);
    }
    run.demo.screen = nullptr;
    return screen.array;
}

py::object landscape(const std::vector<std::string> &args, py::object terrain, py::object colours, int32_t threads) {
    const rv_RenderOptions options = read_options(args);
    Run run;
    rv_RenderSetUp(&run.demo, &run.loop, options);
    allocate(run, threads, false);
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
    m.def("_check_options", [](const std::vector<std::string> &args) { read_options(args); }, py::arg("args"));
    m.def("_render", &render, py::arg("args"), py::arg("terrain"), py::arg("colours"), py::arg("threads"));
    m.def("_landscape", &landscape, py::arg("args"), py::arg("terrain"), py::arg("colours"), py::arg("threads"));
}

}  // namespace rvpy
