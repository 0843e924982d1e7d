// The display functions, each showing the default view.
#include "bench_support.h"
#include "bench_landscape.h"

namespace {

template <typename Show>
void run_display(benchmark::State &state, Show show) {
    const auto w = int32_t(state.range(0)), h = int32_t(state.range(1));
    bench::Landscape land(w, h);
    for (auto _ : state) {
        show(land.view, land.screen);
        benchmark::ClobberMemory();
    }
    bench::report(state, bench::Baseline::copy, w, h);
}

void ShowColour(benchmark::State &state) { run_display(state, rv_ShowColour); }
void ShowProfiles(benchmark::State &state) {
    run_display(state, [](const rv_Surface *s, SDL_Surface *screen) { rv_ShowProfiles(s, screen, 64); });
}
void ShowHeight(benchmark::State &state) {
    run_display(state, [](const rv_Surface *s, SDL_Surface *screen) { rv_ShowHeight(s, screen, 64); });
}
void ShowLight(benchmark::State &state) { run_display(state, rv_ShowLight); }
void ShowTilted15(benchmark::State &state) {
    run_display(state, [](rv_Surface *s, SDL_Surface *screen) { rv_ShowTilted(s, screen, 15.0f); });
}
void ShowTilted45(benchmark::State &state) {
    run_display(state, [](rv_Surface *s, SDL_Surface *screen) { rv_ShowTilted(s, screen, 45.0f); });
}

BENCHMARK(ShowColour)->Apply(bench::sizes);
BENCHMARK(ShowProfiles)->Apply(bench::sizes);
BENCHMARK(ShowHeight)->Apply(bench::sizes);
BENCHMARK(ShowLight)->Apply(bench::sizes);
BENCHMARK(ShowTilted15)->Apply(bench::sizes);
BENCHMARK(ShowTilted45)->Apply(bench::sizes);

}  // namespace
