// Relvane Test: the demo record and the program's steps, callable without a
// window so that tests can drive them.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "relvane.h"

// All state of the test program.
struct rv_Demo {
    double phase;             // morph phase in seconds; drives the random mix
    int32_t intro;            // the opening camera move is running
    SDL_Surface *screen;      // the display surface
    uint32_t video_flags;     // flags passed to SDL_SetVideoMode
    int32_t width;            // screen width in pixels
    int32_t height;           // screen height in pixels
    int32_t tile_size;        // grid step of the terrain's first level
    rv_Surface *scene;        // the generated landscape
    rv_Surface *view;         // shaded, tinted copy that is shown
    rv_Pipe *pipe;            // pipe through which the shapes are drawn
    int32_t running;          // cleared by Escape
    int32_t shapes;           // draw the random shapes
    int32_t animate;          // rebuild the landscape every frame
    int32_t shadows;          // run the shadow pass
    int32_t slopes;           // run the slope shading pass
    int32_t scene_dirty;      // the landscape must be rebuilt
    int32_t view_dirty;       // the view must be rebuilt
    int32_t display_mode;     // 0..3
    int32_t display_scale;    // rows per band (mode 1), scale (mode 2)
    float view_angle;         // elevation of the view, 90 = straight down
    float light_angle;        // elevation of the light, 0..90
    float ambient;            // smallest slope shading factor
    float water_level;        // whole z units, 0..255
    float haze;               // 0..256, 0 = off
    float terrain_base;       // whole z units, 0..256
    float terrain_amplitude;  // whole z units, 0..256
    float terrain_roughness;  // 0..2
};
