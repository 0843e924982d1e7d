#include "landscape.h"

#include <algorithm>
#include <cmath>

#include "bench_support.h"

namespace bench {

namespace {

constexpr double kPhase = 0.8;
constexpr float kLight = 45.0f, kWater = 100.0f, kHaze = 140.0f;

}  // namespace

Landscape::Landscape(int32_t width, int32_t height) {
    context = rv_NewContext();
    scene = rv_NewSurface(context, width, height);
    view = rv_NewSurface(context, width, height);
    pipe = rv_NewPipe(context);
    screen = new_screen(width, height);
    build_landscape(scene);
    build_view(false);
    built_view.assign(view->pixels, view->pixels + size_t(width) * size_t(height));
}

Landscape::~Landscape() {
    rv_FreeSurface(view);
    rv_FreeSurface(scene);
    rv_FreePipe(pipe);
    rv_FreeContext(context);
    SDL_FreeSurface(screen);
}

void Landscape::build_landscape(rv_Surface *target, bool with_shapes) {
    rv_ResetRandom(context, float(std::sin(kPhase) * 0.5 + 0.5));
    const rv_Pixel ground{160, 128, 96, 255, 256, 0};
    rv_FillRect(RV_FIELD_ALL, target, nullptr, &ground);
    rv_Fractal(target, 128, 60.0f, 220.0f, 0.42f);
    if (with_shapes) draw_shapes(target);
    const rv_Pixel level{0, 0, 0, 0, 0, uint16_t(int32_t(kWater) * 256)};
    rv_RaiseToLevel(target, nullptr, &level, 96);
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
    if (animated) {
        const rv_Pixel unlit{0, 0, 0, 0, 256, 0};
        rv_FillRect(RV_FIELD_LIGHT, view, nullptr, &unlit);
    } else {
        rv_CopyRect(RV_FIELD_ALL, scene, nullptr, view, 0, 0);
    }
    rv_ShadeSlopes(view, kLight, 0.3f);
    rv_ShadeShadows(view, kLight);
    const float s = float(std::sin(double(kLight + kLight) * M_PI / 360.0));
    const rv_Pixel water{80, 112, 160, 80, uint16_t(s * (s * (s * 100.0f)) + s * 100.0f),
                         uint16_t(int32_t(kWater) * 256)};
    rv_ApplyWater(view, nullptr, &water, int32_t(s * -24.0f + 48.0f));
    const float t = 256.0f - kHaze;
    const rv_Pixel haze{255, 192, 255, 0, uint16_t(s * 120.0f), 38400};
    rv_ApplyWater(view, nullptr, &haze, int32_t(s * -90.0f + (t * t * 0.0078125f + 100.0f)));
}

void Landscape::restore_view() {
    std::copy(built_view.begin(), built_view.end(), view->pixels);
}

}  // namespace bench
