#include "demo.h"

void rv_DemoDefaults(rv_Demo *demo, rv_DemoLoop *loop) {
    *demo = rv_Demo{};
    demo->phase = 0.8;
    demo->intro = 1;
    demo->video_flags = 0;
    demo->width = 640;
    demo->height = 480;
    demo->tile_size = 128;
    demo->running = 1;
    demo->shapes = 1;
    demo->animate = 0;
    demo->shadows = 1;
    demo->slopes = 1;
    demo->scene_dirty = 1;
    demo->view_dirty = 1;
    demo->display_mode = 0;
    demo->display_scale = 64;
    demo->view_angle = 15.0f;
    demo->light_angle = 0.0f;
    demo->ambient = 0.3f;
    demo->water_level = 0.0f;
    demo->haze = 140.0f;
    demo->terrain_base = 60.0f;
    demo->terrain_amplitude = 220.0f;
    demo->terrain_roughness = 0.42f;
    demo->threads = 1;
    *loop = rv_DemoLoop{};
}
