// Runner entry: the console shows the suite's counters as plain numbers.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <string>
#if RELVANE_SIMD
#include <hwy/targets.h>
#endif

#include <vector>

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

}  // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
#if RELVANE_SIMD
    // The vector target the fast paths dispatch to on this processor.
    const int64_t targets = hwy::SupportedTargets() & HWY_TARGETS;
    benchmark::AddCustomContext("vector target", hwy::TargetName(targets & -targets));
#else
    benchmark::AddCustomContext("vector target", "none (fast paths left out)");
#endif
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Colour only on a terminal, so that saved output stays plain text.
    PlainCounters console(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&console);
    benchmark::Shutdown();
    return 0;
}
