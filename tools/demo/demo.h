// Relvane Test: the demo record and the program's steps, callable without a
// window so that tests can drive them.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <cstdio>

#include "relvane.h"

#ifdef __EMSCRIPTEN__
// Emscripten's SDL 1.2 layer has the key state array under its later name only.
inline Uint8 *SDL_GetKeyState(int *numkeys) { return SDL_GetKeyboardState(numkeys); }
#endif

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
    int32_t threads;          // threads the engine may use (-j); 0: one per processor
};

// State of the frame loop and the builds, kept beside the record.
struct rv_DemoLoop {
    rv_Context *context;  // the engine context (one reference held)
    rv_Pixel work;        // passes materials, fill values and levels to the engine
    int32_t frames;       // shown frames
    uint32_t start_time;  // SDL_GetTicks before the first frame
    uint32_t last_time;   // SDL_GetTicks at the end of the previous frame
    uint32_t prev_time;   // the last time before that
};

// Start values of the record and the loop (nothing created yet).
void rv_DemoDefaults(rv_Demo *demo, rv_DemoLoop *loop);

// Decimal value the way atoi reads it, saturated to the 32-bit range.
int32_t rv_DemoReadValue(const char *text);
// Reads the options of argv[1..argc-1], printing one message per option.
void rv_DemoReadArgs(rv_Demo *demo, int argc, char **argv);

// Everything from the command line to the first frame, given SDL_Init:
// options, video mode, caption, context, surfaces and pipe. Returns 0, or
// the exit status 1 after printing the failure and releasing what was made.
int rv_DemoStart(rv_Demo *demo, rv_DemoLoop *loop, int argc, char **argv);
// Creates context, scene, view (sized from the screen) and the pipe; -1,
// nothing left held and a failure line on standard error when any of them
// cannot be created.
int32_t rv_DemoCreateObjects(rv_Demo *demo, rv_DemoLoop *loop);
// Creates and configures the pipe all shapes go through; -1 when out of memory.
int32_t rv_DemoSetUpPipe(rv_Demo *demo, rv_DemoLoop *loop);
// Releases view, scene, pipe and context (the ones that exist).
void rv_DemoRelease(rv_Demo *demo, rv_DemoLoop *loop);

// One polled event: key presses and mouse clicks.
void rv_DemoHandleEvent(rv_Demo *demo, const SDL_Event *event);
// The held-key controls for one frame of dt seconds; keys is indexed by key code.
void rv_DemoHeldKeys(rv_Demo *demo, const uint8_t *keys, float dt);
// One step of the opening camera move.
void rv_DemoIntro(rv_Demo *demo, float dt);
// Ends the opening move: view straight down, light at 45 degrees.
void rv_DemoStopIntro(rv_Demo *demo);

// Builds the landscape into target (scene, or view when animated).
void rv_DemoBuildLandscape(rv_Demo *demo, rv_DemoLoop *loop, rv_Surface *target);
// The thirty shapes of a landscape build, drawn into target from the
// context's current random state.
void rv_DemoDrawShapes(rv_Demo *demo, rv_DemoLoop *loop, rv_Surface *target);
// Copies (or relights) the landscape into view and shades and tints it.
void rv_DemoBuildView(rv_Demo *demo, rv_DemoLoop *loop);
// The random mix a landscape build resets the generator with.
float rv_DemoRandomMix(double phase);
// A layer the view build lays over the landscape: its material and depth.
struct rv_DemoTint {
    rv_Pixel material;
    int32_t depth;
};
// The water layer and the haze layer for the current light and settings.
rv_DemoTint rv_DemoWater(const rv_Demo *demo);
rv_DemoTint rv_DemoHaze(const rv_Demo *demo);

// Seconds between the last two clock readings.
float rv_DemoFrameTime(const rv_DemoLoop *loop);
// Records a clock reading at the end of a frame.
void rv_DemoTick(rv_DemoLoop *loop, uint32_t now);
// The frame's landscape build, if one is due: into view with the phase
// advanced by dt when animated, else into scene when it is dirty. Returns
// the surface built, or null.
rv_Surface *rv_DemoBuildDueLandscape(rv_Demo *demo, rv_DemoLoop *loop, float dt);
// Everything of one frame after the events: held keys, intro, the builds
// that are due, the display and the frame count. The caller flips.
void rv_DemoFrame(rv_Demo *demo, rv_DemoLoop *loop, const uint8_t *keys, float dt);
// Reads the clock as the start of the frame-rate measurement.
void rv_DemoStartClock(rv_DemoLoop *loop);
// One whole frame: frame time, key state, events, rv_DemoFrame, flip, tick.
void rv_DemoRunFrame(rv_Demo *demo, rv_DemoLoop *loop);
// After the last frame: prints the average frame rate and releases the
// engine objects.
void rv_DemoEnd(rv_Demo *demo, rv_DemoLoop *loop);
// Shows view on the screen in the current display mode.
void rv_DemoShow(rv_Demo *demo);
// Frames per second over elapsed milliseconds.
double rv_DemoAverageFps(int32_t frames, uint32_t elapsed_ms);
