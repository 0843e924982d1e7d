// The pipe, the landscape build (terrain and shapes) and the view build
// (copy, shading, water and haze).
#include <cmath>
#include <cstdint>

#include "demo.h"

namespace {

// Truncates a float known to lie in 0..65535 (NaN and beyond give the bound).
uint16_t trunc16(float v) {
    if (!(v > 0.0f)) return 0;
    if (v >= 65535.0f) return 65535;
    return static_cast<uint16_t>(v);
}

int32_t trunc32(float v) {
    if (!(v > -2147483648.0f)) return v != v ? 0 : INT32_MIN;
    if (v >= 2147483648.0f) return INT32_MAX;
    return static_cast<int32_t>(v);
}

// One draw R(n): n as a signed value passed as unsigned.
int32_t draw(rv_Context *c, int32_t n) {
    return static_cast<int32_t>(rv_Random(c, static_cast<uint32_t>(n)));
}

// Colour i of the six shape colours.
void shape_colour(rv_Pixel &p, int i) {
    const double d = i;
    p.red = static_cast<uint8_t>(std::sin(d) * 20.0 + 128.0);
    p.green = static_cast<uint8_t>(std::sin(d + 2.0833333333333335) * 20.0 + 128.0);
    p.blue = static_cast<uint8_t>(std::sin(d + 4.166666666666667) * 20.0 + 128.0);
}

// A drawn integer as the shapes' float argument.
float as_float(int32_t v) { return static_cast<float>(v); }

// Draws R(W - 2r) + r and R(H - 2r) + r for a round shape of radius r.
void centre(rv_Context *c, const rv_Surface *s, int32_t r, float &cx, float &cy) {
    cx = as_float(draw(c, s->width - 2 * r) + r);
    cy = as_float(draw(c, s->height - 2 * r) + r);
}

// Thirty shapes, six of each kind, through the demo's pipe.
void draw_shapes(rv_Pipe *pipe, rv_Context *c, rv_Surface *t, rv_Pixel &m) {
    m.alpha = 255;
    float cx, cy;
    for (int i = 0; i < 6; ++i) {
        const int32_t w = draw(c, 80) + 10;
        const int32_t h = draw(c, 80) + 10;
        const int32_t x = draw(c, t->width - w);
        const int32_t y = draw(c, t->height - h);
        m.z = static_cast<uint16_t>(draw(c, 25600) + 7680);
        shape_colour(m, i);
        rv_DrawBox(pipe, t, &m, as_float(x), as_float(y), as_float(w), as_float(h));
    }
    for (int i = 0; i < 6; ++i) {
        const int32_t r = draw(c, 40) + 10;
        m.z = static_cast<uint16_t>(draw(c, 25600) + 12800);
        shape_colour(m, i);
        centre(c, t, r, cx, cy);
        rv_DrawDisc(pipe, t, &m, cx, cy, as_float(r));
    }
    for (int i = 0; i < 6; ++i) {
        const int32_t r = draw(c, 60) + 10;
        const int32_t h = draw(c, 25600) + 7680;
        m.z = static_cast<uint16_t>(draw(c, 12800) + 256);
        shape_colour(m, i);
        centre(c, t, r, cx, cy);
        rv_DrawCone(pipe, t, &m, cx, cy, as_float(r), as_float(h));
    }
    for (int i = 0; i < 6; ++i) {
        const int32_t r = draw(c, 60) + 10;
        shape_colour(m, i);
        m.z = static_cast<uint16_t>(draw(c, 25600) + 5120);
        centre(c, t, r, cx, cy);
        rv_DrawDome(pipe, t, &m, cx, cy, as_float(r), as_float(r));
    }
    for (int i = 0; i < 6; ++i) {
        const int32_t r = draw(c, 40) + 10;
        const int32_t h = draw(c, 100) + 20;
        m.z = static_cast<uint16_t>(draw(c, 12800) + 256);
        shape_colour(m, i);
        centre(c, t, r, cx, cy);
        rv_DrawParaboloid(pipe, t, &m, cx, cy, as_float(r), as_float(h));
    }
}

// Sine of the light's elevation.
float light_sine(float angle) {
    const float d = angle + angle;
    return static_cast<float>(std::sin(static_cast<double>(d) * M_PI / 360.0));
}

// The water or haze level as a height: whole units times 256.
uint16_t level_z(float level) {
    const uint16_t whole = trunc16(level);
    return static_cast<uint16_t>((whole > 255 ? 255 : whole) * 256);
}

}  // namespace

int32_t rv_DemoSetUpPipe(rv_Demo *demo, rv_DemoLoop *loop) {
    rv_Pipe *p = rv_NewPipe(loop->context);
    if (!p) return -1;
    demo->pipe = p;
    rv_PipeSetZMode(p, RV_PIPE_Z_SET | RV_PIPE_ZTEST_ABOVE);
    rv_PipeSetColourMode(p, RV_PIPE_COLOUR_SRC);
    rv_PipeSetAlpha(p, RV_PIPE_ALPHA_CONST, 1.0);
    rv_PipeSetLight(p, RV_PIPE_LIGHT_CONST, 1.0);
    rv_PipeSetWrite(p, RV_PIPE_WRITE_RGB | RV_PIPE_WRITE_Z);
    return 0;
}

void rv_DemoBuildLandscape(rv_Demo *demo, rv_DemoLoop *loop, rv_Surface *target) {
    rv_Context *c = loop->context;
    rv_Pixel &m = loop->work;
    rv_ResetRandom(c, rv_DemoRandomMix(demo->phase));
    m = rv_Pixel{160, 128, 96, 255, 256, 0};
    rv_FillRect(RV_FIELD_ALL, target, nullptr, &m);
    rv_Fractal(target, demo->tile_size, demo->terrain_base, demo->terrain_amplitude,
               demo->terrain_roughness);
    if (demo->shapes) draw_shapes(demo->pipe, c, target, m);
    if (demo->water_level >= 1.0f) {
        m.z = level_z(demo->water_level);
        rv_RaiseToLevel(target, nullptr, &m, 96);
    }
    demo->scene_dirty = 0;
    demo->view_dirty = 1;
}

void rv_DemoDrawShapes(rv_Demo *demo, rv_DemoLoop *loop, rv_Surface *target) {
    draw_shapes(demo->pipe, loop->context, target, loop->work);
}

// The copy (or light reset), slopes, shadows, water and haze in one sweep;
// the work pixel is left as the separate calls would leave it.
void rv_DemoBuildView(rv_Demo *demo, rv_DemoLoop *loop) {
    rv_Pixel &m = loop->work;
    rv_ViewBuild b{};
    if (demo->animate) {
        m.light = 256;
        b.relight = 1;
        b.light = 256;
    } else {
        b.scene = demo->scene;
    }
    b.slopes = demo->slopes;
    b.slope_elevation = demo->light_angle;
    b.ambient = demo->ambient;
    b.shadows = demo->shadows;
    b.shadow_elevation = demo->light_angle;
    if (demo->water_level >= 1.0f) {
        const rv_DemoTint t = rv_DemoWater(demo);
        m = t.material;
        b.water = 1;
        b.water_pixel = t.material;
        b.water_depth = t.depth;
    }
    if (demo->haze != 0.0f) {
        const rv_DemoTint t = rv_DemoHaze(demo);
        m = t.material;
        b.haze = 1;
        b.haze_pixel = t.material;
        b.haze_depth = t.depth;
    }
    rv_BuildView(demo->view, &b);
    demo->view_dirty = 0;
}

float rv_DemoRandomMix(double phase) { return static_cast<float>(std::sin(phase) * 0.5 + 0.5); }

rv_DemoTint rv_DemoWater(const rv_Demo *demo) {
    const float s = light_sine(demo->light_angle);
    return {rv_Pixel{80, 112, 160, 80, trunc16(s * (s * (s * 100.0f)) + s * 100.0f), level_z(demo->water_level)},
            trunc32(s * -24.0f + 48.0f)};
}

rv_DemoTint rv_DemoHaze(const rv_Demo *demo) {
    const float s = light_sine(demo->light_angle);
    const float t = 256.0f - demo->haze;
    return {rv_Pixel{255, 192, 255, 0, trunc16(s * 120.0f), 38400},
            trunc32(s * -90.0f + (t * t * 0.0078125f + 100.0f))};
}
