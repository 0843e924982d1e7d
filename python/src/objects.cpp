// Context, Surface, Pipe and Pixel: the engine's records as Python objects
// that hold the engine's references, and the flag constants.
#include "objects.h"

#include <climits>
#include <new>

namespace rvpy {

Context::Context(rv_Context *adopted) : context(adopted), turn(std::make_shared<std::mutex>()) {}
Context::~Context() { rv_FreeContext(context); }

Surface::Surface(rv_Surface *adopted, Turn shared, py::object owner, py::object parent_object)
    : surface(adopted), turn(std::move(shared)), context(std::move(owner)), parent(std::move(parent_object)) {}
Surface::~Surface() { rv_FreeSurface(surface); }

Pipe::Pipe(rv_Pipe *adopted, Turn shared, py::object owner)
    : pipe(adopted), turn(std::move(shared)), context(std::move(owner)) {}
Pipe::~Pipe() { rv_FreePipe(pipe); }

int32_t int_arg(const char *name, py::handle value, int64_t lo, int64_t hi) {
    if (!PyLong_Check(value.ptr()) || PyBool_Check(value.ptr()))
        throw py::type_error(std::string(name) + ": expected an int, got " +
                             std::string(py::str(py::type::of(value).attr("__name__"))));
    int overflow = 0;
    const long long v = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow != 0 || v < lo || v > hi)
        throw py::value_error(std::string(name) + ": " + std::string(py::str(value)) + " is not " +
                              std::to_string(lo) + " to " + std::to_string(hi));
    return static_cast<int32_t>(v);
}

Context &context_arg(py::handle value) {
    if (!py::isinstance<Context>(value))
        throw py::type_error("context: expected a relvane.Context, got " +
                             std::string(py::str(py::type::of(value).attr("__name__"))));
    return value.cast<Context &>();
}

py::dtype pixel_dtype() { return py::dtype::of<rv_Pixel>(); }

void out_of_memory(const std::string &message) {
    PyErr_SetString(PyExc_MemoryError, message.c_str());
    throw py::error_already_set();
}

namespace {

// A pixel field from Python: ValueError outside 0..hi.
template <class Field>
Field field_arg(const char *name, py::handle value, int64_t hi) {
    return static_cast<Field>(int_arg(name, value, 0, hi));
}

rv_Pixel make_pixel(py::handle red, py::handle green, py::handle blue, py::handle alpha, py::handle light,
                    py::handle z) {
    return rv_Pixel{field_arg<uint8_t>("red", red, 255),       field_arg<uint8_t>("green", green, 255),
                    field_arg<uint8_t>("blue", blue, 255),     field_arg<uint8_t>("alpha", alpha, 255),
                    field_arg<uint16_t>("light", light, 65535), field_arg<uint16_t>("z", z, 65535)};
}

template <class Field, Field rv_Pixel::*member>
void bind_field(py::class_<rv_Pixel> &c, const char *name, int64_t hi) {
    c.def_property(
        name, [](const rv_Pixel &p) { return p.*member; },
        [name, hi](rv_Pixel &p, py::handle v) { p.*member = field_arg<Field>(name, v, hi); });
}

void bind_pixel(py::module_ &m) {
    py::class_<rv_Pixel> c(m, "Pixel", "One surface pixel: colour, coverage, light (256 = unity) and height (1/256 units).");
    c.def(py::init(&make_pixel), py::arg("red") = 0, py::arg("green") = 0, py::arg("blue") = 0,
          py::arg("alpha") = 0, py::arg("light") = 0, py::arg("z") = 0);
    bind_field<uint8_t, &rv_Pixel::red>(c, "red", 255);
    bind_field<uint8_t, &rv_Pixel::green>(c, "green", 255);
    bind_field<uint8_t, &rv_Pixel::blue>(c, "blue", 255);
    bind_field<uint8_t, &rv_Pixel::alpha>(c, "alpha", 255);
    bind_field<uint16_t, &rv_Pixel::light>(c, "light", 65535);
    bind_field<uint16_t, &rv_Pixel::z>(c, "z", 65535);
    c.def("__eq__", [](const rv_Pixel &a, const rv_Pixel &b) {
        return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha &&
               a.light == b.light && a.z == b.z;
    });
    c.def("__repr__", [](const rv_Pixel &p) {
        return "Pixel(red=" + std::to_string(p.red) + ", green=" + std::to_string(p.green) +
               ", blue=" + std::to_string(p.blue) + ", alpha=" + std::to_string(p.alpha) +
               ", light=" + std::to_string(p.light) + ", z=" + std::to_string(p.z) + ")";
    });
}

void bind_context(py::module_ &m) {
    py::class_<Context>(m, "Context", "Engine instance: scratch spans, random generator, thread count.")
        .def(py::init([] {
            rv_Context *c = rv_NewContext();
            if (!c) throw std::bad_alloc();
            return new Context(c);
        }))
        .def_property_readonly("span_size", [](const Context &c) { return c.context->span_size; })
        .def("reserve_scratch",
             [](Context &c, py::handle count) {
                 const int32_t n = int_arg("count", count, 0, INT32_MAX);
                 int32_t status = 0;
                 unlocked(c.turn, [&] { status = rv_ReserveScratch(c.context, n); });
                 if (status != 0) throw std::bad_alloc();
             },
             py::arg("count"))
        .def("reset_random", [](Context &c, double mix) { unlocked(c.turn, [&] { rv_ResetRandom(c.context, mix); }); },
             py::arg("mix"))
        .def("random",
             [](Context &c, py::handle range) {
                 const auto r = static_cast<uint32_t>(int_arg("range", range, 0, UINT32_MAX));
                 uint32_t v = 0;
                 unlocked(c.turn, [&] { v = rv_Random(c.context, r); });
                 return v;
             },
             py::arg("range"))
        .def("set_threads",
             [](Context &c, py::handle count) {
                 const int32_t n = int_arg("count", count, 0, INT32_MAX);
                 int32_t status = 0;
                 unlocked(c.turn, [&] { status = rv_SetThreads(c.context, n); });
                 if (status != 0)
                     throw py::value_error("count: " + std::to_string(n) +
                                           " threads, but this build runs on the caller's thread only (0 or 1)");
             },
             py::arg("count"))
        .def_property_readonly("threads", [](const Context &c) { return rv_GetThreads(c.context); });
}

void bind_surface(py::module_ &m) {
    py::class_<Surface> surface(m, "Surface", "A grid of pixels owned by the engine, or a window into another surface.");
    surface.def(py::init([](py::object context, py::handle width, py::handle height) {
                 Context &c = context_arg(context);
                 const int32_t w = int_arg("width", width, 0, INT32_MAX);
                 const int32_t h = int_arg("height", height, 0, INT32_MAX);
                 rv_Surface *s = rv_NewSurface(c.context, w, h);
                 if (!s) out_of_memory("a " + std::to_string(w) + " x " + std::to_string(h) + " surface does not fit memory");
                 return new Surface(s, c.turn, context, py::none());
             }),
             py::arg("context"), py::arg("width"), py::arg("height"))
        .def("sub",
             [](py::object self, py::handle x, py::handle y, py::handle width, py::handle height) {
                 Surface &p = self.cast<Surface &>();
                 rv_Rect r{int_arg("x", x, 0, INT32_MAX), int_arg("y", y, 0, INT32_MAX),
                           int_arg("width", width, 0, INT32_MAX), int_arg("height", height, 0, INT32_MAX)};
                 const rv_Surface *s0 = p.surface;
                 if (int64_t(r.x) + r.w > s0->width || int64_t(r.y) + r.h > s0->height)
                     throw py::value_error("rect (" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " +
                                           std::to_string(r.w) + ", " + std::to_string(r.h) +
                                           ") is not inside the " + std::to_string(s0->width) + " x " +
                                           std::to_string(s0->height) + " surface");
                 rv_Surface *s = rv_NewSubSurface(p.surface, &r);
                 if (!s) throw std::bad_alloc();
                 return new Surface(s, p.turn, p.context, self);
             },
             py::arg("x"), py::arg("y"), py::arg("width"), py::arg("height"),
             "A window into rect (x, y, width, height) of this surface: no copy, the same pitch.")
        .def_property_readonly("width", [](const Surface &s) { return s.surface->width; })
        .def_property_readonly("height", [](const Surface &s) { return s.surface->height; })
        .def_property_readonly("pitch", [](const Surface &s) { return s.surface->pitch; })
        .def_property_readonly("context", [](const Surface &s) { return s.context; })
        .def_property_readonly("parent", [](const Surface &s) { return s.parent; });
    bind_views(surface);
}

void bind_pipe(py::module_ &m) {
    py::class_<Pipe>(m, "Pipe", "The chain of stages through which shapes write into a surface.")
        .def(py::init([](py::object context) {
                 Context &c = context_arg(context);
                 rv_Pipe *p = rv_NewPipe(c.context);
                 if (!p) throw std::bad_alloc();
                 return new Pipe(p, c.turn, context);
             }),
             py::arg("context"))
        .def_property_readonly("context", [](const Pipe &p) { return p.context; })
        .def_property_readonly("flags", [](const Pipe &p) { return p.pipe->flags; })
        .def_property_readonly("alpha", [](const Pipe &p) { return p.pipe->alpha; })
        .def_property_readonly("light", [](const Pipe &p) { return p.pipe->light; })
        .def("set_z_mode", [](Pipe &p, uint32_t mode) { unlocked(p.turn, [&] { rv_PipeSetZMode(p.pipe, mode); }); },
             py::arg("mode"))
        .def("set_colour_mode",
             [](Pipe &p, uint32_t mode) {
                 int32_t status = 0;
                 unlocked(p.turn, [&] { status = rv_PipeSetColourMode(p.pipe, mode); });
                 if (status != 0)
                     throw py::value_error("mode: only PIPE_COLOUR_SRC (0) assembles; the pipe writes nothing until a setter succeeds");
             },
             py::arg("mode"))
        .def("set_alpha",
             [](Pipe &p, uint32_t mode, double alpha) { unlocked(p.turn, [&] { rv_PipeSetAlpha(p.pipe, mode, alpha); }); },
             py::arg("mode"), py::arg("alpha"))
        .def("set_light",
             [](Pipe &p, uint32_t mode, double light) { unlocked(p.turn, [&] { rv_PipeSetLight(p.pipe, mode, light); }); },
             py::arg("mode"), py::arg("light"))
        .def("set_write", [](Pipe &p, uint32_t flags) { unlocked(p.turn, [&] { rv_PipeSetWrite(p.pipe, flags); }); },
             py::arg("flags"))
        .def("build",
             [](Pipe &p) {
                 int32_t status = 0;
                 unlocked(p.turn, [&] { status = rv_BuildPipe(p.pipe); });
                 if (status != 0)
                     throw py::value_error("the colour source is not PIPE_COLOUR_SRC (0)");
             });
}

void bind_constants(py::module_ &m) {
    const std::pair<const char *, uint32_t> constants[] = {
        {"FIELD_RED", RV_FIELD_RED}, {"FIELD_GREEN", RV_FIELD_GREEN}, {"FIELD_BLUE", RV_FIELD_BLUE},
        {"FIELD_ALPHA", RV_FIELD_ALPHA}, {"FIELD_LIGHT", RV_FIELD_LIGHT}, {"FIELD_Z", RV_FIELD_Z},
        {"FIELD_ALL", RV_FIELD_ALL},
        {"PIPE_Z_SET", RV_PIPE_Z_SET}, {"PIPE_Z_ADD", RV_PIPE_Z_ADD}, {"PIPE_Z_SUB", RV_PIPE_Z_SUB},
        {"PIPE_Z_MUL", RV_PIPE_Z_MUL}, {"PIPE_ZTEST_ABOVE", RV_PIPE_ZTEST_ABOVE},
        {"PIPE_ZTEST_BELOW", RV_PIPE_ZTEST_BELOW}, {"PIPE_COLOUR_SRC", RV_PIPE_COLOUR_SRC},
        {"PIPE_ALPHA_CONST", RV_PIPE_ALPHA_CONST}, {"PIPE_ALPHA_SRC", RV_PIPE_ALPHA_SRC},
        {"PIPE_ALPHA_DST", RV_PIPE_ALPHA_DST}, {"PIPE_LIGHT_CONST", RV_PIPE_LIGHT_CONST},
        {"PIPE_LIGHT_SRC", RV_PIPE_LIGHT_SRC}, {"PIPE_LIGHT_DST", RV_PIPE_LIGHT_DST},
        {"PIPE_WRITE_RED", RV_PIPE_WRITE_RED}, {"PIPE_WRITE_GREEN", RV_PIPE_WRITE_GREEN},
        {"PIPE_WRITE_BLUE", RV_PIPE_WRITE_BLUE}, {"PIPE_WRITE_RGB", RV_PIPE_WRITE_RGB},
        {"PIPE_ALPHA_WRITE_SET", RV_PIPE_ALPHA_WRITE_SET}, {"PIPE_ALPHA_WRITE_ADD", RV_PIPE_ALPHA_WRITE_ADD},
        {"PIPE_ALPHA_WRITE_SUB", RV_PIPE_ALPHA_WRITE_SUB}, {"PIPE_ALPHA_WRITE_MUL", RV_PIPE_ALPHA_WRITE_MUL},
        {"PIPE_LIGHT_WRITE_SET", RV_PIPE_LIGHT_WRITE_SET}, {"PIPE_LIGHT_WRITE_ADD", RV_PIPE_LIGHT_WRITE_ADD},
        {"PIPE_LIGHT_WRITE_SUB", RV_PIPE_LIGHT_WRITE_SUB}, {"PIPE_LIGHT_WRITE_MUL", RV_PIPE_LIGHT_WRITE_MUL},
        {"PIPE_LIGHT_WRITE_BLEND", RV_PIPE_LIGHT_WRITE_BLEND}, {"PIPE_WRITE_Z", RV_PIPE_WRITE_Z},
    };
    for (const auto &[name, value] : constants) m.attr(name) = value;
}

}  // namespace

void bind_objects(py::module_ &m) {
    bind_pixel(m);
    bind_context(m);
    bind_surface(m);
    bind_pipe(m);
    bind_constants(m);
}

}  // namespace rvpy
