// The engine's operations on surfaces: areas, copies, shapes, terrain,
// shading and the pipe run, each with the interpreter lock released.
#include <climits>

#include "objects.h"

namespace rvpy {

namespace {

// None for the whole surface, else (x, y, width, height).
struct RectArg {
    rv_Rect rect{};
    bool given = false;
    rv_Rect *get() { return given ? &rect : nullptr; }
};

RectArg rect_arg(py::handle value) {
    RectArg r;
    if (value.is_none()) return r;
    if (!PySequence_Check(value.ptr()) || PySequence_Size(value.ptr()) != 4) {
        if (PyErr_Occurred()) PyErr_Clear();
        throw py::type_error("rect: expected None or (x, y, width, height)");
    }
    const py::sequence s = py::reinterpret_borrow<py::sequence>(value);
    r.rect = {int_arg("rect", s[0], INT32_MIN, INT32_MAX), int_arg("rect", s[1], INT32_MIN, INT32_MAX),
              int_arg("rect", s[2], INT32_MIN, INT32_MAX), int_arg("rect", s[3], INT32_MIN, INT32_MAX)};
    r.given = true;
    return r;
}

uint32_t mask_arg(py::handle value) { return static_cast<uint32_t>(int_arg("mask", value, 0, UINT32_MAX)); }

// Shapes and pipe runs need the pipe's context to be the surface's.
void same_context(const Pipe &pipe, const Surface &surface) {
    if (pipe.pipe->context != surface.surface->context)
        throw py::value_error("pipe and surface belong to different contexts");
}

using ShapeRound = void (*)(rv_Pipe *, rv_Surface *, const rv_Pixel *, float, float, float, float);

void bind_shapes(py::module_ &m) {
    m.def(
        "draw_box",
        [](Pipe &pipe, Surface &surface, const rv_Pixel &material, float x, float y, float w, float h) {
            same_context(pipe, surface);
            unlocked(pipe.turn, [&] { rv_DrawBox(pipe.pipe, surface.surface, &material, x, y, w, h); });
        },
        py::arg("pipe"), py::arg("surface"), py::arg("material"), py::arg("x"), py::arg("y"), py::arg("w"),
        py::arg("h"), "Flat box from (x, y), w wide and h high, at the material's height.");
    m.def(
        "draw_disc",
        [](Pipe &pipe, Surface &surface, const rv_Pixel &material, float cx, float cy, float r) {
            same_context(pipe, surface);
            unlocked(pipe.turn, [&] { rv_DrawDisc(pipe.pipe, surface.surface, &material, cx, cy, r); });
        },
        py::arg("pipe"), py::arg("surface"), py::arg("material"), py::arg("cx"), py::arg("cy"), py::arg("r"),
        "Flat disc of radius r about (cx, cy).");
    struct Round {
        const char *name;
        ShapeRound draw;
        const char *doc;
    };
    static const Round rounds[] = {
        {"draw_cone", rv_DrawCone, "Cone of base radius r rising h z units above the base height."},
        {"draw_dome", rv_DrawDome, "Half ellipsoid of radius r and height h pixels (256 z units each)."},
        {"draw_paraboloid", rv_DrawParaboloid, "Paraboloid of base radius r and height h pixels."},
    };
    for (const Round &round : rounds) {
        const ShapeRound draw = round.draw;
        m.def(
            round.name,
            [draw](Pipe &pipe, Surface &surface, const rv_Pixel &material, float cx, float cy, float r, float h) {
                same_context(pipe, surface);
                unlocked(pipe.turn, [&] { draw(pipe.pipe, surface.surface, &material, cx, cy, r, h); });
            },
            py::arg("pipe"), py::arg("surface"), py::arg("material"), py::arg("cx"), py::arg("cy"), py::arg("r"),
            py::arg("h"), round.doc);
    }
}

void bind_areas(py::module_ &m) {
    m.def(
        "fill_rect",
        [](py::handle mask, Surface &surface, py::handle rect, const rv_Pixel &value) {
            const uint32_t fields = mask_arg(mask);
            RectArg r = rect_arg(rect);
            unlocked(surface.turn, [&] { rv_FillRect(fields, surface.surface, r.get(), &value); });
        },
        py::arg("mask"), py::arg("surface"), py::arg("rect"), py::arg("value"),
        "Sets the fields in mask (FIELD_*) of every pixel of rect (None: all) to value's.");
    m.def(
        "apply_water",
        [](Surface &surface, py::handle rect, const rv_Pixel &water, py::handle depth) {
            RectArg r = rect_arg(rect);
            const int32_t d = int_arg("depth", depth, INT32_MIN, INT32_MAX);
            unlocked(surface.turn, [&] { rv_ApplyWater(surface.surface, r.get(), &water, d); });
        },
        py::arg("surface"), py::arg("rect"), py::arg("water"), py::arg("depth"),
        "Blends colour and light at or below water.z towards water's.");
    m.def(
        "raise_to_level",
        [](Surface &surface, py::handle rect, const rv_Pixel &level, py::handle factor) {
            RectArg r = rect_arg(rect);
            const int32_t f = int_arg("factor", factor, INT32_MIN, INT32_MAX);
            unlocked(surface.turn, [&] { rv_RaiseToLevel(surface.surface, r.get(), &level, f); });
        },
        py::arg("surface"), py::arg("rect"), py::arg("level"), py::arg("factor"),
        "Moves every height at or below level.z factor/256 of the way up to it.");
    m.def(
        "copy_rect",
        [](py::handle mask, const Surface &src, py::handle rect, Surface &dst, py::handle x, py::handle y) {
            const uint32_t fields = mask_arg(mask);
            RectArg r = rect_arg(rect);
            const int32_t at_x = int_arg("x", x, INT32_MIN, INT32_MAX), at_y = int_arg("y", y, INT32_MIN, INT32_MAX);
            unlocked(src.turn, dst.turn, [&] { rv_CopyRect(fields, src.surface, r.get(), dst.surface, at_x, at_y); });
        },
        py::arg("mask"), py::arg("src"), py::arg("rect"), py::arg("dst"), py::arg("x"), py::arg("y"),
        "Copies the fields in mask of rect of src (None: all) to dst at (x, y).");
    m.def(
        "clip_rect",
        [](const Surface &surface, py::handle rect) {
            RectArg r = rect_arg(rect);
            const rv_Rect c = rv_ClipRect(surface.surface, r.get());
            return py::make_tuple(c.x, c.y, c.w, c.h);
        },
        py::arg("surface"), py::arg("rect"), "The part of rect (None: all) the rectangle operations process.");
}

void bind_terrain(py::module_ &m) {
    m.def(
        "fractal",
        [](Surface &surface, py::handle step, float base, float amplitude, float roughness) {
            const int32_t s = int_arg("step", step, INT32_MIN, INT32_MAX);
            unlocked(surface.turn, [&] { rv_Fractal(surface.surface, s, base, amplitude, roughness); });
        },
        py::arg("surface"), py::arg("step"), py::arg("base"), py::arg("amplitude"), py::arg("roughness"),
        "Fractal heights by midpoint displacement from the context's random generator.");
    m.def(
        "shade_slopes",
        [](Surface &surface, float elevation, float ambient) {
            unlocked(surface.turn, [&] { rv_ShadeSlopes(surface.surface, elevation, ambient); });
        },
        py::arg("surface"), py::arg("elevation"), py::arg("ambient"),
        "Scales light by how squarely each slope faces the light.");
    m.def(
        "shade_shadows",
        [](Surface &surface, float elevation) {
            unlocked(surface.turn, [&] { rv_ShadeShadows(surface.surface, elevation); });
        },
        py::arg("surface"), py::arg("elevation"), "Darkens what lies in the shadow of higher terrain.");
}

// A one-dimensional run of pixels in contiguous memory.
rv_Pixel *run_arg(const char *name, py::handle value, bool writable) {
    if (!py::isinstance<py::array>(value))
        throw py::type_error(std::string(name) + ": expected a NumPy array of relvane.PIXEL");
    py::array a = py::reinterpret_borrow<py::array>(value);
    if (!a.dtype().is(pixel_dtype()) && !a.dtype().equal(pixel_dtype()))
        throw py::type_error(std::string(name) + ": expected dtype relvane.PIXEL, got " + std::string(py::str(a.dtype())));
    if (a.ndim() != 1 || !(a.flags() & py::array::c_style))
        throw py::value_error(std::string(name) + ": expected a contiguous one-dimensional run of pixels");
    if (writable && !a.writeable()) throw py::value_error(std::string(name) + ": the array is read-only");
    return static_cast<rv_Pixel *>(a.mutable_data());
}

void bind_run(py::module_ &m) {
    m.def(
        "run_pipe",
        [](Pipe &pipe, py::handle src, py::handle dst) {
            const rv_Pixel *s = run_arg("src", src, false);
            rv_Pixel *d = run_arg("dst", dst, true);
            const size_t count = py::len(src);
            if (py::len(dst) != count) throw py::value_error("src and dst differ in length");
            if (count > static_cast<size_t>(pipe.pipe->context->span_size))
                throw py::value_error("src: " + std::to_string(count) + " pixels, more than the context's span_size " +
                                      std::to_string(pipe.pipe->context->span_size) + " (reserve_scratch first)");
            unlocked(pipe.turn, [&] { rv_RunPipe(pipe.pipe, s, d, static_cast<int32_t>(count)); });
        },
        py::arg("pipe"), py::arg("src"), py::arg("dst"),
        "Writes the source pixels into dst (e.g. a row of surface.pixels) through the pipe's chain.");
}

}  // namespace

void bind_operations(py::module_ &m) {
    bind_shapes(m);
    bind_areas(m);
    bind_terrain(m);
    bind_run(m);
}

}  // namespace rvpy
