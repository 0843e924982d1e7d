// The display functions: a surface drawn onto a new screen, returned as a
// (height, width, 3) uint8 RGB array.
#include <algorithm>

#include "screen.h"

namespace rvpy {

namespace {

// The screen size: given, or the surface's (less rows_less rows).
Screen make_screen(const Surface &surface, py::handle width, py::handle height, int32_t rows_less) {
    const rv_Surface *s = surface.surface;
    const int32_t w = width.is_none() ? std::min(s->width, kScreenSide) : screen_side("width", width);
    const int32_t h = height.is_none() ? std::clamp(s->height - rows_less, 0, kScreenSide) : screen_side("height", height);
    return Screen(w, h);
}

template <class Show>
py::array_t<uint8_t> show(Surface &surface, py::handle width, py::handle height, int32_t rows_less, Show &&draw) {
    Screen screen = make_screen(surface, width, height, rows_less);
    if (screen.screen) unlocked(surface.turn, [&] { draw(screen.screen); });
    return screen.array;
}

}  // namespace

void bind_displays(py::module_ &m) {
    m.def(
        "show_colour",
        [](Surface &surface, py::handle width, py::handle height) {
            return show(surface, width, height, 0, [&](SDL_Surface *screen) { rv_ShowColour(surface.surface, screen); });
        },
        py::arg("surface"), py::kw_only(), py::arg("width") = py::none(), py::arg("height") = py::none(),
        "Colour scaled by light; the screen is the surface's size unless given.");
    m.def(
        "show_profiles",
        [](Surface &surface, py::handle rows, py::handle width, py::handle height) {
            const int32_t n = int_arg("rows", rows, INT32_MIN, INT32_MAX);
            return show(surface, width, height, 0,
                        [&](SDL_Surface *screen) { rv_ShowProfiles(surface.surface, screen, n); });
        },
        py::arg("surface"), py::arg("rows"), py::kw_only(), py::arg("width") = py::none(),
        py::arg("height") = py::none(), "Height profile of every rows-th row, each in a band of rows screen rows.");
    m.def(
        "show_height",
        [](Surface &surface, py::handle scale, py::handle width, py::handle height) {
            const int32_t n = int_arg("scale", scale, INT32_MIN, INT32_MAX);
            return show(surface, width, height, 0,
                        [&](SDL_Surface *screen) { rv_ShowHeight(surface.surface, screen, n); });
        },
        py::arg("surface"), py::arg("scale"), py::kw_only(), py::arg("width") = py::none(),
        py::arg("height") = py::none(), "Height as a colour ramp; scale 64 spans the whole range.");
    m.def(
        "show_light",
        [](Surface &surface, py::handle width, py::handle height) {
            return show(surface, width, height, 0, [&](SDL_Surface *screen) { rv_ShowLight(surface.surface, screen); });
        },
        py::arg("surface"), py::kw_only(), py::arg("width") = py::none(), py::arg("height") = py::none(),
        "Light as a colour ramp (256 = unity shows pure green).");
    m.def(
        "show_tilted",
        [](Surface &surface, float angle, py::handle width, py::handle height) {
            return show(surface, width, height, 1,
                        [&](SDL_Surface *screen) { rv_ShowTilted(surface.surface, screen, angle); });
        },
        py::arg("surface"), py::arg("angle"), py::kw_only(), py::arg("width") = py::none(),
        py::arg("height") = py::none(),
        "The landscape seen from the front at angle degrees, with a sky. Changes the surface's last row and "
        "its nearest row's light; the screen is one row shorter than the surface unless given.");
}

}  // namespace rvpy
