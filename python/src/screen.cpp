#include "screen.h"

#include <cstring>
#include <new>

namespace rvpy {

Screen::Screen(int32_t width, int32_t height) : array({py::ssize_t(height), py::ssize_t(width), py::ssize_t(3)}) {
    uint8_t *pixels = array.mutable_data();
    std::memset(pixels, 0, static_cast<size_t>(array.nbytes()));
    if (width == 0 || height == 0) return;
    // The display functions place each channel by its byte shift: red in
    // the first byte of every pixel.
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    const Uint32 red = 0x0000FF, blue = 0xFF0000;
#else
    const Uint32 red = 0xFF0000, blue = 0x0000FF;
#endif
    screen = SDL_CreateRGBSurfaceFrom(pixels, width, height, 24, width * 3, red, 0x00FF00, blue, 0);
    if (!screen) throw std::bad_alloc();
}

Screen::~Screen() {
    if (screen) SDL_FreeSurface(screen);
}

int32_t screen_side(const char *name, py::handle value) { return int_arg(name, value, 0, kScreenSide); }

}  // namespace rvpy
