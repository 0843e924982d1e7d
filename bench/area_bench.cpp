// Fill, copy, water and raise over whole default-landscape surfaces.
#include <cmath>

#include "bench_support.h"
#include "bench_landscape.h"

namespace {

using bench::Baseline;

void run_fill(benchmark::State &state, uint32_t mask) {
    const auto w = int32_t(state.range(0)), h = int32_t(state.range(1));
    bench::Landscape land(w, h);
    const rv_Pixel value{160, 128, 96, 255, 256, 0};
    for (auto _ : state) {
        rv_FillRect(mask, land.view, nullptr, &value);
        benchmark::ClobberMemory();
    }
    bench::report(state, Baseline::set, w, h);
}

void run_copy(benchmark::State &state, uint32_t mask) {
    const auto w = int32_t(state.range(0)), h = int32_t(state.range(1));
    bench::Landscape land(w, h);
    for (auto _ : state) {
        rv_CopyRect(mask, land.scene, nullptr, land.view, 0, 0);
        benchmark::ClobberMemory();
    }
    bench::report(state, Baseline::copy, w, h);
}

void FillAll(benchmark::State &state) { run_fill(state, RV_FIELD_ALL); }
void FillLight(benchmark::State &state) { run_fill(state, RV_FIELD_LIGHT); }
void CopyAll(benchmark::State &state) { run_copy(state, RV_FIELD_ALL); }
void CopyLight(benchmark::State &state) { run_copy(state, RV_FIELD_LIGHT); }

// The view build's water at level 100 under a light at 45 degrees.
void Water(benchmark::State &state) {
    const float s = float(std::sin(double(45.0f + 45.0f) * M_PI / 360.0));
    const rv_Pixel water{80, 112, 160, 80, uint16_t(s * (s * (s * 100.0f)) + s * 100.0f), 25600};
    const auto depth = int32_t(s * -24.0f + 48.0f);
    bench::run_on_view(state, [&](rv_Surface *v) { rv_ApplyWater(v, nullptr, &water, depth); });
}

// The landscape build's flooding at level 100.
void Raise(benchmark::State &state) {
    const rv_Pixel level{0, 0, 0, 0, 0, 25600};
    bench::run_on_view(state, [&](rv_Surface *v) { rv_RaiseToLevel(v, nullptr, &level, 96); });
}

BENCHMARK(FillAll)->Apply(bench::sizes);
BENCHMARK(FillLight)->Apply(bench::sizes);
BENCHMARK(CopyAll)->Apply(bench::sizes);
BENCHMARK(CopyLight)->Apply(bench::sizes);
BENCHMARK(Water)->Apply(bench::sizes);
BENCHMARK(Raise)->Apply(bench::sizes);

}  // namespace
