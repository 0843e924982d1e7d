// The memory baselines themselves, shown beside the cases for reference.
#include <cstring>
#include <vector>

#include "bench_support.h"

namespace {

void Memcpy(benchmark::State &state) {
    const auto w = int32_t(state.range(0)), h = int32_t(state.range(1));
    std::vector<unsigned char> src(size_t(w) * size_t(h) * 8, 1), dst(src.size(), 2);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), dst.size());
        benchmark::ClobberMemory();
    }
    bench::report(state, bench::Baseline::copy, w, h);
}
BENCHMARK(Memcpy)->Apply(bench::sizes);

void Memset(benchmark::State &state) {
    const auto w = int32_t(state.range(0)), h = int32_t(state.range(1));
    std::vector<unsigned char> dst(size_t(w) * size_t(h) * 8, 2);
    for (auto _ : state) {
        std::memset(dst.data(), 7, dst.size());
        benchmark::ClobberMemory();
    }
    bench::report(state, bench::Baseline::set, w, h);
}
BENCHMARK(Memset)->Apply(bench::sizes);

}  // namespace
