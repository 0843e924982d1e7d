// relvane-render's command line: the settings of one run and their reader.
#pragma once

#include <cstdint>
#include <string>

// What to render and where to write it. Settings left out keep the values
// the test program has once its opening move has ended.
struct RenderOptions {
    int32_t width = 640;
    int32_t height = 480;
    int32_t tile_size = 128;
    double phase = 0.8;
    float roughness = 0.42f;
    float amplitude = 220.0f;
    float base = 60.0f;
    float water = 0.0f;
    float haze = 140.0f;
    float light = 45.0f;
    float view = 90.0f;
    int32_t mode = 0;  // display mode: colour, profiles, height, light
    int32_t scale = 64;
    bool shapes = true;
    bool slopes = true;
    bool shadows = true;
    std::string output;     // OUTPUT.png
    std::string heightmap;  // empty: none
    std::string terrain;    // empty: the landscape is built, not read
    std::string colours;    // with terrain: read; without: written; empty: none
    std::string colour_ramp;  // with terrain: colours by elevation; empty: none
    double z_scale = 1.0;   // vertical exaggeration of a given terrain
    bool fit = false;       // stretch the terrain's elevations onto 0..65535
    int32_t band = 0;       // a raster's band of heights, from 1; 0: not given
    int32_t frames = 0;     // 0: one picture written to OUTPUT itself
    double fps = 30.0;
    int32_t threads = 0;    // 0: one per processor
    bool width_given = false;
    bool height_given = false;
    std::string unused_with_terrain;  // landscape options given, "-t, --phase"
    bool help = false;      // --help: print the usage and the options
};

// Reads argv[1..argc-1]. Returns 0, or -1 with a one-line message naming
// the offending option (or the empty argument) in *error.
int RenderReadArgs(RenderOptions *options, int argc, char **argv, std::string *error);

// Name of frame k (from 1) of a sequence written under path: a trailing
// ".png" gives way to "-0001.png" (at least four digits).
std::string RenderFrameName(const std::string &path, int32_t k);

// "usage: relvane-render [OPTION...] OUTPUT.png"
const char *RenderUsage();
// The usage line and one line per option, for --help.
const char *RenderHelp();
