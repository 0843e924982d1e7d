// Key presses, mouse clicks, held keys and the opening camera move.
#include <cstdint>

#include "demo.h"

namespace {

void toggle(int32_t &flag) { flag = flag == 0 ? 1 : 0; }

float clamp(float v, float hi) {
    if (v > hi) return hi;
    if (v < 0.0f) return 0.0f;
    return v;
}

// One held-key control: first wins over second; each moves value at its
// rate per second, clamps it to 0..hi and sets the mark.
struct Held {
    bool first;
    bool second;
    float *value;
    float rate;  // of first; second moves by -rate
    float hi;
    int32_t *mark;
    bool wide;  // value + dt * rate formed in double
};

void apply(const Held &h, float dt) {
    if (!h.first && !h.second) return;
    const float rate = h.first ? h.rate : -h.rate;
    const float v = h.wide ? static_cast<float>(static_cast<double>(dt) * rate + *h.value)
                           : *h.value + dt * rate;
    *h.value = clamp(v, h.hi);
    if (h.mark) *h.mark = 1;
}

}  // namespace

void rv_DemoStopIntro(rv_Demo *demo) {
    if (!demo->intro) return;
    demo->intro = 0;
    demo->view_dirty = 1;
    demo->view_angle = 90.0f;
    demo->light_angle = 45.0f;
}

void rv_DemoHandleEvent(rv_Demo *demo, const SDL_Event *event) {
    if (event->type == SDL_MOUSEBUTTONDOWN) {
        demo->display_mode = static_cast<int32_t>((static_cast<uint32_t>(demo->display_mode) + 1u) & 3u);
        return;
    }
    if (event->type != SDL_KEYDOWN) return;  // the close request included
    rv_DemoStopIntro(demo);
    switch (event->key.keysym.sym) {
    case SDLK_ESCAPE: demo->running = 0; break;
    case SDLK_SPACE: toggle(demo->animate); demo->scene_dirty = 1; break;
    case SDLK_t: toggle(demo->shapes); demo->scene_dirty = 1; break;
    case SDLK_b: toggle(demo->slopes); demo->view_dirty = 1; break;
    case SDLK_s: toggle(demo->shadows); demo->view_dirty = 1; break;
    case SDLK_ASTERISK:
    case SDLK_KP_MULTIPLY:
        if (demo->display_scale <= 255) demo->display_scale *= 2;
        break;
    case SDLK_SLASH:
    case SDLK_KP_DIVIDE:
        if (demo->display_scale > 2) demo->display_scale >>= 1;
        break;
    case SDLK_F1: demo->display_mode = 0; break;
    case SDLK_F2: demo->display_mode = 1; break;
    case SDLK_F3: demo->display_mode = 2; break;
    case SDLK_F4: demo->display_mode = 3; break;
    default: break;
    }
}

void rv_DemoHeldKeys(rv_Demo *demo, const uint8_t *keys, float dt) {
    auto k = [keys](SDLKey key) { return keys[key] != 0; };
    const bool shift = k(SDLK_LSHIFT) || k(SDLK_RSHIFT);
    const Held table[] = {
        {k(SDLK_PLUS) || k(SDLK_KP_PLUS), k(SDLK_MINUS) || k(SDLK_KP_MINUS),
         &demo->terrain_roughness, 0.25f, 2.0f, &demo->scene_dirty, true},
        {k(SDLK_PAGEDOWN), k(SDLK_PAGEUP), &demo->terrain_amplitude, -32.0f, 256.0f,
         &demo->scene_dirty, false},
        {k(SDLK_END), k(SDLK_HOME), &demo->terrain_base, -32.0f, 256.0f, &demo->scene_dirty, false},
        {shift && k(SDLK_DELETE), shift && k(SDLK_INSERT), &demo->haze, -32.0f, 256.0f,
         &demo->scene_dirty, false},
        {!shift && k(SDLK_DELETE), !shift && k(SDLK_INSERT), &demo->water_level, -32.0f, 255.0f,
         &demo->scene_dirty, false},
        {k(SDLK_UP), k(SDLK_DOWN), &demo->view_angle, 15.0f, 90.0f, nullptr, false},
        {k(SDLK_LEFT), k(SDLK_RIGHT), &demo->light_angle, -15.0f, 90.0f, &demo->view_dirty, false},
    };
    for (const Held &h : table) apply(h, dt);
}

void rv_DemoIntro(rv_Demo *demo, float dt) {
    if (!demo->intro) return;
    demo->view_angle = static_cast<float>(static_cast<double>(dt) * 10.5 + demo->view_angle);
    if (demo->view_angle > 90.0f) demo->view_angle = 90.0f;
    demo->view_dirty = 1;
    const float angle = demo->light_angle + dt * 0.9375f;
    demo->light_angle = static_cast<float>(static_cast<double>(dt) * (static_cast<double>(45.0f - angle) * 0.1) + angle);
    if (demo->light_angle > 44.9) rv_DemoStopIntro(demo);
}
