// The fractal terrain and the two shading passes.
#include <cmath>

#include "bench_support.h"
#include "bench_landscape.h"

namespace {

void Fractal(benchmark::State &state) {
    const auto w = int32_t(state.range(0)), h = int32_t(state.range(1));
    bench::Landscape land(w, h);
    for (auto _ : state) {
        rv_ResetRandom(land.context, float(std::sin(0.8) * 0.5 + 0.5));
        rv_Fractal(land.view, 128, 60.0f, 220.0f, 0.42f);
        benchmark::ClobberMemory();
    }
    bench::report(state, bench::Baseline::copy, w, h);
}

void Slopes(benchmark::State &state) {
    bench::run_on_view(state, [](rv_Surface *v) { rv_ShadeSlopes(v, 45.0f, 0.3f); });
}
void Shadows(benchmark::State &state) {
    bench::run_on_view(state, [](rv_Surface *v) { rv_ShadeShadows(v, 45.0f); });
}

BENCHMARK(Fractal)->Apply(bench::sizes);
BENCHMARK(Slopes)->Apply(bench::sizes);
BENCHMARK(Shadows)->Apply(bench::sizes);

}  // namespace
