// relvane._relvane: the engine for Python.
#include "objects.h"

PYBIND11_MODULE(_relvane, m) {
    m.doc() = "Relvane: a software renderer for 2.5-D height fields, with NumPy views of its surfaces.";
    PYBIND11_NUMPY_DTYPE(rv_Pixel, red, green, blue, alpha, light, z);
    rvpy::bind_objects(m);
    m.attr("PIXEL") = rvpy::pixel_dtype();
    rvpy::bind_operations(m);
    rvpy::bind_displays(m);
    rvpy::bind_render(m);
}
