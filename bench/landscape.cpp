#include "landscape.h"

#include <algorithm>
#include <cmath>

#include "bench_support.h"

namespace bench {

Landscape::Landscape(int32_t width, int32_t height) {
    rv_DemoDefaults(&demo, &loop);
    screen = new_screen(width, height);
    demo.screen = screen;
    rv_DemoCreateObjects(&demo, &loop);
    demo.intro = 0;
    demo.view_angle = 90.0f;
    demo.light_angle = 45.0f;
    demo.water_level = 100.0f;
    context = loop.context;
    scene = demo.scene;
    view = demo.view;
    pipe = demo.pipe;
    build_landscape(scene);
    build_view(false);
    built_view.assign(view->pixels, view->pixels + size_t(width) * size_t(height));
}

Landscape::~Landscape() {
    rv_DemoRelease(&demo, &loop);
    SDL_FreeSurface(screen);
}

void Landscape::build_landscape(rv_Surface *target, bool with_shapes) {
    demo.shapes = with_shapes;
    rv_DemoBuildLandscape(&demo, &loop, target);
}

void Landscape::draw_shapes(rv_Surface *target) {
    const auto W = int32_t(target->width), H = int32_t(target->height);
    auto R = [this](int32_t n) { return int32_t(rv_Random(context, uint32_t(n))); };
    rv_Pixel m{0, 0, 0, 255, 256, 0};
    auto colour = [&m](int i) {
        m.red = uint8_t(std::sin(i) * 20 + 128);
        m.green = uint8_t(std::sin(i + 2.0833333333333335) * 20 + 128);
        m.blue = uint8_t(std::sin(i + 4.166666666666667) * 20 + 128);
    };
    for (int i = 0; i < 6; i++) {
        const int32_t w = R(80) + 10, h = R(80) + 10, x = R(W - w), y = R(H - h);
        m.z = uint16_t(R(25600) + 7680);
        colour(i);
        rv_DrawBox(pipe, target, &m, float(x), float(y), float(w), float(h));
    }
    for (int i = 0; i < 6; i++) {
        const int32_t r = R(40) + 10;
        m.z = uint16_t(R(25600) + 12800);
        colour(i);
        const int32_t cx = R(W - 2 * r) + r, cy = R(H - 2 * r) + r;
        rv_DrawDisc(pipe, target, &m, float(cx), float(cy), float(r));
    }
    for (int i = 0; i < 6; i++) {
        const int32_t r = R(60) + 10, h = R(25600) + 7680;
        m.z = uint16_t(R(12800) + 256);
        colour(i);
        const int32_t cx = R(W - 2 * r) + r, cy = R(H - 2 * r) + r;
        rv_DrawCone(pipe, target, &m, float(cx), float(cy), float(r), float(h));
    }
    for (int i = 0; i < 6; i++) {
        const int32_t r = R(60) + 10;
        colour(i);
        m.z = uint16_t(R(25600) + 5120);
        const int32_t cx = R(W - 2 * r) + r, cy = R(H - 2 * r) + r;
        rv_DrawDome(pipe, target, &m, float(cx), float(cy), float(r), float(r));
    }
    for (int i = 0; i < 6; i++) {
        const int32_t r = R(40) + 10, h = R(100) + 20;
        m.z = uint16_t(R(12800) + 256);
        colour(i);
        const int32_t cx = R(W - 2 * r) + r, cy = R(H - 2 * r) + r;
        rv_DrawParaboloid(pipe, target, &m, float(cx), float(cy), float(r), float(h));
    }
}

void Landscape::build_view(bool animated) {
    demo.animate = animated;
    rv_DemoBuildView(&demo, &loop);
}

void Landscape::restore_view() {
    std::copy(built_view.begin(), built_view.end(), view->pixels);
}

}  // namespace bench
