// NumPy views of a surface's own pixels: no copy, strides from the pitch,
// and each view holds the Surface object (and so the engine's surface).
#include <cstddef>
#include <vector>

#include "objects.h"

namespace rvpy {

namespace {

constexpr py::ssize_t kPixelBytes = sizeof(rv_Pixel);

// A view of one field (or the whole pixel) of every pixel; channels > 0
// adds a last axis over that many consecutive byte fields.
py::array view(py::object self, py::dtype type, size_t offset, py::ssize_t channels = 0) {
    const rv_Surface *s = self.cast<Surface &>().surface;
    std::vector<py::ssize_t> shape{s->height, s->width};
    std::vector<py::ssize_t> strides{static_cast<py::ssize_t>(s->pitch) * kPixelBytes, kPixelBytes};
    if (channels > 0) {
        shape.push_back(channels);
        strides.push_back(type.itemsize());
    }
    // An empty surface may have no pixel memory; NumPy still wants an address.
    static rv_Pixel nothing;
    char *base = reinterpret_cast<char *>(s->pixels ? s->pixels : &nothing);
    return py::array(type, shape, strides, base + offset, self);
}

}  // namespace

void bind_views(py::class_<Surface> &surface) {
    surface.def_property_readonly(
        "pixels", [](py::object self) { return view(self, pixel_dtype(), 0); },
        "Writable structured view (height, width) of the pixels: red, green, blue, alpha, light, z.");
    surface.def_property_readonly(
        "colours", [](py::object self) { return view(self, py::dtype::of<uint8_t>(), 0, 3); },
        "Writable (height, width, 3) uint8 view of red, green and blue.");
    struct Field {
        const char *name;
        size_t offset;
        bool wide;
    };
    static const Field fields[] = {
        {"red", offsetof(rv_Pixel, red), false},     {"green", offsetof(rv_Pixel, green), false},
        {"blue", offsetof(rv_Pixel, blue), false},   {"alpha", offsetof(rv_Pixel, alpha), false},
        {"light", offsetof(rv_Pixel, light), true},  {"z", offsetof(rv_Pixel, z), true},
    };
    for (const Field &f : fields) {
        const Field *field = &f;
        surface.def_property_readonly(f.name, [field](py::object self) {
            return view(self, field->wide ? py::dtype::of<uint16_t>() : py::dtype::of<uint8_t>(), field->offset);
        });
    }
}

}  // namespace rvpy
