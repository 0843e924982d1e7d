// The Python objects over the engine's records, and the rules every
// binding follows: arguments checked before the engine sees them, the
// interpreter lock released while the engine works, and one Python thread
// at a time inside one context.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "relvane.h"

namespace rvpy {

namespace py = pybind11;

// A context and its surfaces and pipes serve one thread at a time; Python
// threads that share them take turns through this lock, which is taken
// with the interpreter lock released.
using Turn = std::shared_ptr<std::mutex>;

struct Context {
    rv_Context *context;
    Turn turn;
    // Takes over one reference the caller holds.
    explicit Context(rv_Context *adopted);
    ~Context();
    Context(const Context &) = delete;
    Context &operator=(const Context &) = delete;
};

struct Surface {
    rv_Surface *surface;
    Turn turn;
    py::object context;  // the Python Context, for surface.context
    py::object parent;   // the Python Surface a window looks into, or None
    Surface(rv_Surface *adopted, Turn shared, py::object owner, py::object parent_object);
    ~Surface();
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;
};

struct Pipe {
    rv_Pipe *pipe;
    Turn turn;
    py::object context;
    Pipe(rv_Pipe *adopted, Turn shared, py::object owner);
    ~Pipe();
    Pipe(const Pipe &) = delete;
    Pipe &operator=(const Pipe &) = delete;
};

// Runs work with the interpreter lock released, holding the turn(s).
template <class Work>
void unlocked(const Turn &turn, Work &&work) {
    py::gil_scoped_release released;
    std::lock_guard<std::mutex> hold(*turn);
    work();
}
template <class Work>
void unlocked(const Turn &a, const Turn &b, Work &&work) {
    if (a == b) return unlocked(a, std::forward<Work>(work));
    py::gil_scoped_release released;
    std::scoped_lock hold(*a, *b);
    work();
}

// An integer argument in lo..hi: TypeError naming it when it is no
// integer, ValueError with the range when it lies outside.
int32_t int_arg(const char *name, py::handle value, int64_t lo, int64_t hi);

// Raises MemoryError with the message.
[[noreturn]] void out_of_memory(const std::string &message);

// The structured NumPy type of one rv_Pixel.
py::dtype pixel_dtype();

void bind_objects(py::module_ &m);
// The NumPy views, as properties of Surface.
void bind_views(py::class_<Surface> &surface);
void bind_operations(py::module_ &m);
void bind_displays(py::module_ &m);
void bind_render(py::module_ &m);

}  // namespace rvpy
