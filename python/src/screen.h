// The in-memory 24-bit screen the display functions draw into: an SDL
// surface over a NumPy (height, width, 3) array, bytes in RGB order.
#pragma once

#include <SDL.h>

#include "objects.h"

namespace rvpy {

// Largest screen side: what relvane-render allows and SDL 1.2's 16-bit
// pitch and clip rectangle hold.
constexpr int32_t kScreenSide = 16384;

struct Screen {
    py::array_t<uint8_t> array;    // zeroed (height, width, 3)
    SDL_Surface *screen = nullptr; // over array's memory; null when empty
    Screen(int32_t width, int32_t height);
    ~Screen();
    Screen(const Screen &) = delete;
    Screen &operator=(const Screen &) = delete;
};

// A screen side from Python: ValueError outside 0..kScreenSide.
int32_t screen_side(const char *name, py::handle value);

}  // namespace rvpy
