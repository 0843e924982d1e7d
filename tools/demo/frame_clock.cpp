// The frame clock and the average frame rate.
#include <cstdint>

#include "demo.h"

float rv_DemoFrameTime(const rv_DemoLoop *loop) {
    const auto ms = static_cast<int32_t>(loop->last_time - loop->prev_time);
    return static_cast<float>(ms) * 0.001f;
}

void rv_DemoTick(rv_DemoLoop *loop, uint32_t now) {
    loop->prev_time = loop->last_time;
    loop->last_time = now;
}

double rv_DemoAverageFps(int32_t frames, uint32_t elapsed_ms) {
    return static_cast<double>(frames) * 1000.0 / static_cast<double>(elapsed_ms);
}
