// Shared pieces of the benchmark suite: the three surface sizes, the thread count, the memory
// baselines every case is measured against, and the counters it reports.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

struct SDL_Surface;

namespace bench {

// What a case's time is compared with: a memcpy or a memset of the bytes of
// one surface of the same size, timed in the same process.
enum class Baseline { copy, set };

// Seconds for one memcpy (or memset) of width x height pixels of 8 bytes.
// Measured once per size and kind, on first use.
double baseline_seconds(Baseline kind, int32_t width, int32_t height);

// Reports ns per surface pixel and the time as a multiple of the baseline.
void report(benchmark::State &state, Baseline kind, int32_t width, int32_t height);

// Registers the three sizes (surface width, height) as a case's arguments,
// timed by the wall clock (the CPU time of one thread says nothing about
// several).
void sizes(benchmark::internal::Benchmark *b);

// The thread count every case's context runs with (the runner's
// --threads=N, default 1; 0: one per processor).
inline int32_t threads = 1;

// A 24-bit screen one pixel smaller each way than the surface, red mask
// 0xFF0000, as the test program opens it (in the WebAssembly bench, a 32-bit
// one in memory laid out like the page's canvas). Free with SDL_FreeSurface.
SDL_Surface *new_screen(int32_t surface_width, int32_t surface_height);

}  // namespace bench
