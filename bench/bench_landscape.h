// The test program's default landscape at a given surface size: start
// settings with the light at 45 degrees and the water level at 100, built by
// the test program's own landscape and view builds.
#pragma once

#include <SDL.h>

#include <vector>

#include "bench_support.h"
#include "demo.h"

namespace bench {

class Landscape {
public:
    Landscape(int32_t width, int32_t height);
    ~Landscape();
    Landscape(const Landscape &) = delete;
    Landscape &operator=(const Landscape &) = delete;

    // Fill, terrain, the thirty shapes (optional) and the flooding.
    void build_landscape(rv_Surface *target, bool with_shapes = true);
    // The landscape build's thirty shapes alone, the same draws in the same
    // order, continuing the random sequence where the terrain left it.
    void draw_shapes(rv_Surface *target);
    // Copy (or relight, when animated), slopes, shadows, water and haze.
    void build_view(bool animated);
    // Puts the built view back (for cases that change it).
    void restore_view();

    rv_Demo demo{};
    rv_DemoLoop loop{};
    rv_Context *context = nullptr;
    rv_Surface *scene = nullptr, *view = nullptr;
    rv_Pipe *pipe = nullptr;
    SDL_Surface *screen = nullptr;
    std::vector<rv_Pixel> built_view;
};

// Runs op on the built view, which is put back untimed before each run.
template <typename Op>
void run_on_view(benchmark::State &state, Op op) {
    const auto w = int32_t(state.range(0)), h = int32_t(state.range(1));
    Landscape land(w, h);
    for (auto _ : state) {
        state.PauseTiming();
        land.restore_view();
        state.ResumeTiming();
        op(land.view);
        benchmark::ClobberMemory();
    }
    report(state, Baseline::copy, w, h);
}

}  // namespace bench
