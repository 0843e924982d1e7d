// The thirty shapes, the landscape and view builds and the animated frame.
#include "bench_support.h"
#include "bench_landscape.h"

namespace {

template <typename Step>
void run_build(benchmark::State &state, Step step) {
    const auto w = int32_t(state.range(0)), h = int32_t(state.range(1));
    bench::Landscape land(w, h);
    for (auto _ : state) {
        step(land, state);
        benchmark::ClobberMemory();
    }
    bench::report(state, bench::Baseline::copy, w, h);
}

// The shapes onto the bare terrain (rebuilt untimed), from the random state
// the terrain left.
void Shapes(benchmark::State &state) {
    run_build(state, [](bench::Landscape &l, benchmark::State &s) {
        s.PauseTiming();
        l.build_landscape(l.view, false);
        s.ResumeTiming();
        l.draw_shapes(l.view);
    });
}

void Landscape(benchmark::State &state) {
    run_build(state, [](bench::Landscape &l, benchmark::State &) { l.build_landscape(l.scene); });
}

void View(benchmark::State &state) {
    run_build(state, [](bench::Landscape &l, benchmark::State &) { l.build_view(false); });
}

// One frame of the animation at a fixed phase: landscape into the view,
// view build, lit colour on the screen.
void AnimatedFrame(benchmark::State &state) {
    run_build(state, [](bench::Landscape &l, benchmark::State &) {
        l.build_landscape(l.view);
        l.build_view(true);
        rv_ShowColour(l.view, l.screen);
    });
}

BENCHMARK(Shapes)->Apply(bench::sizes);
BENCHMARK(Landscape)->Apply(bench::sizes);
BENCHMARK(View)->Apply(bench::sizes);
BENCHMARK(AnimatedFrame)->Apply(bench::sizes);

}  // namespace
