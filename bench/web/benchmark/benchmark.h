// The part of Google Benchmark's interface the bench cases use, for builds
// that have no Google Benchmark (the WebAssembly bench under node). Cases
// compile unchanged against it and run under the same names; web_main.cpp
// times them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace benchmark {

// Processor time of the process so far, the clock cases are timed by (node
// runs them on its one thread; set in web_main.cpp).
double ProcessCpuSeconds();

enum TimeUnit { kNanosecond, kMicrosecond, kMillisecond, kSecond };

// A reported figure and how it relates to the time and the iterations.
class Counter {
public:
    enum Flags : uint32_t {
        kDefaults = 0,
        kIsRate = 1u << 0,
        kAvgThreads = 1u << 1,
        kAvgThreadsRate = kIsRate | kAvgThreads,
        kIsIterationInvariant = 1u << 2,
        kIsIterationInvariantRate = kIsRate | kIsIterationInvariant,
        kAvgIterations = 1u << 3,
        kAvgIterationsRate = kIsRate | kAvgIterations,
        kInvert = 1u << 31,
    };
    Counter(double v = 0.0, Flags f = kDefaults) : value(v), flags(f) {}
    double value;
    Flags flags;
};

constexpr Counter::Flags operator|(Counter::Flags a, Counter::Flags b) {
    return static_cast<Counter::Flags>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}

// One run of a case: its arguments, the iteration count it is asked for,
// and the time it spends timed.
class State {
public:
    State(std::vector<int64_t> args, int64_t iterations) : args_(std::move(args)), iterations_(iterations) {}

    int64_t range(size_t i = 0) const { return i < args_.size() ? args_[i] : 0; }
    int64_t iterations() const { return iterations_; }
    void PauseTiming() { timed_ += ProcessCpuSeconds() - started_; }
    void ResumeTiming() { started_ = ProcessCpuSeconds(); }
    void SkipWithError(const char *message) { error_ = message, left_ = 0; }
    void SetLabel(const std::string &label) { label_ = label; }
    bool KeepRunning() {
        if (!begun_) begun_ = true, left_ = iterations_, started();
        if (left_ > 0) return --left_, true;
        stop();
        return false;
    }

    struct __attribute__((unused)) Value {};
    class Iterator {
    public:
        explicit Iterator(State *s) : s_(s) {}
        Value operator*() const { return {}; }
        Iterator &operator++() { return --s_->left_, *this; }
        bool operator!=(const Iterator &) const {
            if (s_->left_ > 0) return true;
            s_->stop();
            return false;
        }

    private:
        State *s_;
    };
    Iterator begin() {
        begun_ = true, left_ = iterations_;
        started();
        return Iterator(this);
    }
    Iterator end() { return Iterator(this); }

    double seconds() const { return timed_; }
    const std::string &error() const { return error_; }
    const std::string &label() const { return label_; }

    std::map<std::string, Counter> counters;

private:
    bool started() {
        if (!running_) running_ = true, started_ = ProcessCpuSeconds();
        return true;
    }
    void stop() {
        if (running_) timed_ += ProcessCpuSeconds() - started_, running_ = false;
    }

    std::vector<int64_t> args_;
    int64_t iterations_;
    int64_t left_ = 0;
    bool begun_ = false, running_ = false;
    double started_ = 0.0, timed_ = 0.0;
    std::string error_, label_;
};

namespace internal {

// A registered case with its argument sets.
class Benchmark {
public:
    Benchmark(std::string name, std::function<void(State &)> fn) : name_(std::move(name)), fn_(std::move(fn)) {}
    Benchmark *Arg(int64_t a) { return Args({a}); }
    Benchmark *Args(const std::vector<int64_t> &a) { return args_.push_back(a), this; }
    Benchmark *ArgPair(int64_t a, int64_t b) { return Args({a, b}); }
    Benchmark *Unit(TimeUnit u) { return unit_ = u, this; }
    Benchmark *Apply(void (*f)(Benchmark *)) { return f(this), this; }
    Benchmark *MinTime(double t) { return min_time_ = t, this; }
    Benchmark *Iterations(int64_t n) { return iterations_ = n, this; }
    Benchmark *UseRealTime() { return this; }
    Benchmark *MeasureProcessCPUTime() { return this; }
    Benchmark *Name(const std::string &n) { return name_ = n, this; }

    const std::string &name() const { return name_; }
    const std::vector<std::vector<int64_t>> &arg_sets() const { return args_; }
    TimeUnit unit() const { return unit_; }
    double min_time() const { return min_time_; }
    int64_t fixed_iterations() const { return iterations_; }
    void run(State &s) const { fn_(s); }

private:
    std::string name_;
    std::function<void(State &)> fn_;
    std::vector<std::vector<int64_t>> args_;
    TimeUnit unit_ = kNanosecond;
    double min_time_ = 0.0;
    int64_t iterations_ = 0;
};

inline std::vector<Benchmark *> &registry() {
    static std::vector<Benchmark *> cases;
    return cases;
}

inline Benchmark *RegisterBenchmarkInternal(Benchmark *b) { return registry().push_back(b), b; }

}  // namespace internal

inline internal::Benchmark *RegisterBenchmark(const char *name, std::function<void(State &)> fn) {
    return internal::RegisterBenchmarkInternal(new internal::Benchmark(name, std::move(fn)));
}

// The compiler may neither keep memory writes in registers across this
// point nor drop the value as unused.
inline void ClobberMemory() { asm volatile("" : : : "memory"); }
template <class T>
inline void DoNotOptimize(T &&value) {
    asm volatile("" : : "r"(&value) : "memory");
}

}  // namespace benchmark

#define RELVANE_BENCH_CONCAT2(a, b) a##b
#define RELVANE_BENCH_CONCAT(a, b) RELVANE_BENCH_CONCAT2(a, b)
#define BENCHMARK(fn)                                                                              \
    [[maybe_unused]] static ::benchmark::internal::Benchmark *RELVANE_BENCH_CONCAT(bench_case_, __LINE__) = \
        ::benchmark::RegisterBenchmark(#fn, fn)
