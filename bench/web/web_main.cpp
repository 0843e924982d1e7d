// Runner of the WebAssembly bench under node: times every registered case
// the way Google Benchmark's runner does (iterations grown until a run lasts
// the minimum time) and prints the same counters.
//   relvane_bench.js [--benchmark_filter=REGEX] [--benchmark_min_time=S]
//                    [--benchmark_repetitions=N] [--benchmark_list_tests]
#include <benchmark/benchmark.h>
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>
#if RELVANE_SIMD
#include <hwy/targets.h>
#endif

// Node's processor time of the process, in microseconds: other processes on
// a shared machine do not inflate it as they do the wall clock.
EM_JS(double, process_cpu_microseconds, (), {
    const t = process.cpuUsage();
    return t.user + t.system;
});

namespace benchmark {
double ProcessCpuSeconds() { return process_cpu_microseconds() * 1e-6; }
}  // namespace benchmark

namespace {

struct Options {
    std::string filter = ".";
    double min_time = 0.5;
    int repetitions = 1;
    bool list = false;
};

bool read_flag(const char *arg, const char *name, std::string &value) {
    const size_t n = std::strlen(name);
    if (std::strncmp(arg, name, n) != 0 || arg[n] != '=') return false;
    value = arg + n + 1;
    return true;
}

bool read_options(int argc, char **argv, Options &o) {
    for (int i = 1; i < argc; i++) {
        std::string v;
        if (read_flag(argv[i], "--benchmark_filter", v)) {
            o.filter = v.empty() ? "." : v;
        } else if (read_flag(argv[i], "--benchmark_min_time", v)) {
            if (!v.empty() && v.back() == 's') v.pop_back();
            char *end = nullptr;
            o.min_time = std::strtod(v.c_str(), &end);
            if (v.empty() || *end != '\0' || !(o.min_time >= 0.0)) return false;
        } else if (read_flag(argv[i], "--benchmark_repetitions", v)) {
            o.repetitions = std::atoi(v.c_str());
            if (o.repetitions < 1) return false;
        } else if (std::strcmp(argv[i], "--benchmark_list_tests") == 0) {
            o.list = true;
        } else {
            std::fprintf(stderr, "unrecognized argument %s\n", argv[i]);
            return false;
        }
    }
    return true;
}

struct Result {
    int64_t iterations = 0;
    double seconds = 0.0;
    std::vector<std::pair<std::string, double>> counters;
    std::string error;
};

double counter_value(const benchmark::Counter &c, int64_t iterations, double seconds) {
    using F = benchmark::Counter;
    double v = c.value;
    if (c.flags & F::kIsIterationInvariant) v *= double(iterations);
    if (c.flags & F::kAvgIterations) v /= double(iterations);
    if (c.flags & F::kIsRate) v /= seconds;
    if (c.flags & F::kInvert) v = 1.0 / v;
    return v;
}

Result run_once(const benchmark::internal::Benchmark &b, const std::vector<int64_t> &args, int64_t iterations) {
    benchmark::State state(args, iterations);
    b.run(state);
    Result r;
    r.iterations = iterations;
    r.seconds = state.seconds();
    r.error = state.error();
    for (const auto &[name, c] : state.counters) r.counters.emplace_back(name, counter_value(c, iterations, r.seconds));
    return r;
}

// Grows the iteration count as Google Benchmark does: from 1, by the
// factor the last run says is missing (at most 10x), until a run lasts the
// minimum time.
Result run_case(const benchmark::internal::Benchmark &b, const std::vector<int64_t> &args, double min_time) {
    if (b.fixed_iterations() > 0) return run_once(b, args, b.fixed_iterations());
    if (b.min_time() > 0.0) min_time = b.min_time();
    int64_t iterations = 1;
    for (;;) {
        Result r = run_once(b, args, iterations);
        if (!r.error.empty() || r.seconds >= min_time || iterations >= 1000000000) return r;
        const double factor = r.seconds > 0.0 ? min_time * 1.4 / r.seconds : 10.0;
        iterations = std::max(iterations + 1, int64_t(double(iterations) * std::min(factor, 10.0)));
    }
}

const char *unit_name(benchmark::TimeUnit u) {
    switch (u) {
    case benchmark::kNanosecond: return "ns";
    case benchmark::kMicrosecond: return "us";
    case benchmark::kMillisecond: return "ms";
    case benchmark::kSecond: return "s";
    }
    return "ns";
}

double in_unit(double seconds, benchmark::TimeUnit u) {
    switch (u) {
    case benchmark::kNanosecond: return seconds * 1e9;
    case benchmark::kMicrosecond: return seconds * 1e6;
    case benchmark::kMillisecond: return seconds * 1e3;
    case benchmark::kSecond: return seconds;
    }
    return seconds;
}

}  // namespace

int main(int argc, char **argv) {
    Options o;
    if (!read_options(argc, argv, o)) return 1;
    std::regex filter;
    try {
        filter = std::regex(o.filter);
    } catch (const std::regex_error &) {
        std::fprintf(stderr, "bad --benchmark_filter: %s\n", o.filter.c_str());
        return 1;
    }
#if RELVANE_SIMD
    std::printf("vector target: %s\n", hwy::TargetName(HWY_STATIC_TARGET));
#else
    std::printf("vector target: none (fast paths left out)\n");
#endif
    if (o.repetitions > 1) std::printf("each case: the fastest of %d runs\n", o.repetitions);
    std::printf("%-28s %13s %12s  counters\n", "Benchmark", "Time", "Iterations");
    bool failed = false;
    for (const auto *b : benchmark::internal::registry()) {
        std::vector<std::vector<int64_t>> sets = b->arg_sets();
        if (sets.empty()) sets.emplace_back();
        for (const auto &args : sets) {
            std::string name = b->name();
            for (const int64_t a : args) name += "/" + std::to_string(a);
            if (!std::regex_search(name, filter)) continue;
            if (o.list) {
                std::printf("%s\n", name.c_str());
                continue;
            }
            Result best;
            for (int rep = 0; rep < o.repetitions; rep++) {
                Result r = run_case(*b, args, o.min_time);
                if (rep == 0 || !r.error.empty() ||
                    r.seconds / double(r.iterations) < best.seconds / double(best.iterations))
                    best = r;
                if (!r.error.empty()) break;
            }
            if (!best.error.empty()) {
                std::printf("%-28s ERROR: %s\n", name.c_str(), best.error.c_str());
                failed = true;
                continue;
            }
            std::printf("%-28s %10.3f %-2s %12lld ", name.c_str(),
                        in_unit(best.seconds / double(best.iterations), b->unit()), unit_name(b->unit()),
                        static_cast<long long>(best.iterations));
            for (const auto &[cname, v] : best.counters) std::printf(" %s=%.4g", cname.c_str(), v);
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    return failed ? 1 : 0;
}
