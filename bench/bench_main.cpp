// Runner entry: the console shows the suite's counters as plain numbers.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#if RELVANE_SIMD
#include <hwy/targets.h>
#endif

#include "bench_support.h"

namespace {

// The counters are final values by the time they are reported; without
// their rate flags the console prints them bare instead of with "/s" or "s".
class PlainCounters : public benchmark::ConsoleReporter {
public:
    explicit PlainCounters(OutputOptions options) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run> &runs) override {
        std::vector<Run> plain(runs);
        for (auto &run : plain)
            for (auto &counter : run.counters) counter.second.flags = benchmark::Counter::kDefaults;
        ConsoleReporter::ReportRuns(plain);
    }
};

#if RELVANE_SIMD
// --vector_target=NAME: the fast paths dispatch to that target alone (one the
// processor runs), so that targets can be measured against each other.
bool force_target(int &argc, char **argv) {
    const char *const flag = "--vector_target=";
    for (int i = 1; i < argc; i++) {
        if (std::strncmp(argv[i], flag, std::strlen(flag)) != 0) continue;
        const char *name = argv[i] + std::strlen(flag);
        int64_t chosen = 0;
        for (const int64_t t : hwy::SupportedAndGeneratedTargets())
            if (std::strcmp(hwy::TargetName(t), name) == 0) chosen = t;
        if (chosen == 0) {
            std::fprintf(stderr, "vector target %s is not compiled in or not run by this processor\n", name);
            return false;
        }
        hwy::SetSupportedTargetsForTest(chosen);
        for (int j = i; j + 1 < argc; j++) argv[j] = argv[j + 1];
        argc--, i--;
    }
    return true;
}
#endif

// --threads=N: the thread count of every case's context.
void read_threads(int &argc, char **argv) {
    const char *const flag = "--threads=";
    for (int i = 1; i < argc; i++) {
        if (std::strncmp(argv[i], flag, std::strlen(flag)) != 0) continue;
        bench::threads = static_cast<int32_t>(std::strtol(argv[i] + std::strlen(flag), nullptr, 10));
        for (int j = i; j + 1 < argc; j++) argv[j] = argv[j + 1];
        argc--, i--;
    }
}

}  // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
#if RELVANE_SIMD
    if (!force_target(argc, argv)) return 1;
    // The vector target the fast paths dispatch to on this processor.
    const int64_t targets = hwy::SupportedTargets() & HWY_TARGETS;
    benchmark::AddCustomContext("vector target", hwy::TargetName(targets & -targets));
#else
    benchmark::AddCustomContext("vector target", "none (fast paths left out)");
#endif
    read_threads(argc, argv);
    benchmark::AddCustomContext("threads", std::to_string(bench::threads));
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Colour only on a terminal, so that saved output stays plain text.
    PlainCounters console(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&console);
    benchmark::Shutdown();
    return 0;
}
