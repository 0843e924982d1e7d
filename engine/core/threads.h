// How an operation shares its work with worker threads: contiguous chunks of
// an index range (rows, columns, diagonals, bands), one chunk per thread,
// from OpenMP. Each chunk's result must not depend on where the range was
// cut, so the bytes are the same at every count.
#pragma once

#include <algorithm>
#include <cstdint>

#include "context.h"

#if RELVANE_OPENMP
#include <omp.h>
#endif

namespace relvane {

// The count an operation on this context may use (1 without a context).
inline int32_t threads_of(const rv_Context *context) {
    return context && context->threads > 1 ? context->threads : 1;
}

// The largest count this build can run: 1 without OpenMP (the browser).
inline int32_t threads_possible() {
#if RELVANE_OPENMP
    return INT32_MAX;
#else
    return 1;
#endif
}

// Processors this process may run on.
inline int32_t processors_available() {
#if RELVANE_OPENMP
    const int n = omp_get_num_procs();
    return n > 0 ? n : 1;
#else
    return 1;
#endif
}

// How many chunks of at least grain items each [0, count) is cut into on
// this context's threads (1: the calling thread alone).
inline int64_t chunks_for(const rv_Context *context, int64_t count, int64_t grain) {
    int64_t chunks = threads_of(context);
    if (grain < 1) grain = 1;
    if (chunks > count / grain) chunks = count / grain;
    return chunks > 1 ? chunks : 1;
}

// Runs body(k, first, last) for chunk k of [0, count) cut into chunks
// contiguous pieces, one thread each; one chunk runs on the calling thread.
// Chunks are cut by index alone, never by timing.
template <class Body>
void run_chunks(int64_t chunks, int64_t count, Body &&body) {
    if (count <= 0) return;
    if (chunks <= 1) {
        body(int64_t{0}, int64_t{0}, count);
        return;
    }
#if RELVANE_OPENMP
#pragma omp parallel for num_threads(static_cast<int>(chunks)) schedule(static, 1)
    for (int64_t k = 0; k < chunks; ++k) body(k, count * k / chunks, count * (k + 1) / chunks);
#else
    for (int64_t k = 0; k < chunks; ++k) body(k, count * k / chunks, count * (k + 1) / chunks);
#endif
}

// Runs body(first, last) over [0, count) cut into at most threads_of(context)
// contiguous chunks of at least grain items each.
template <class Body>
void parallel_chunks(const rv_Context *context, int64_t count, int64_t grain, Body &&body) {
    run_chunks(chunks_for(context, count, grain), count,
               [&body](int64_t, int64_t first, int64_t last) { body(first, last); });
}

// The smallest share of a pass worth a thread of its own, in pixels: below
// it handing the work over costs more than it saves (measured: a fill, the
// cheapest pass per pixel, of 64K pixels in cache took as long on two
// threads as on one, 4.5 us, and smaller ones longer). Tests lower it to
// reach the threads with small surfaces.
inline int64_t pixels_worth_a_thread = 32768;

// Rows of width pixels that make a chunk worth a thread.
inline int64_t rows_worth_a_thread(int64_t width) {
    const int64_t w = width > 0 ? width : 1;
    return (pixels_worth_a_thread + w - 1) / w;
}

// Runs body(first, last) over rows [0, rows) of width pixels each, in
// chunks of at least pixels_worth_a_thread pixels.
template <class Body>
void parallel_rows(const rv_Context *context, int64_t rows, int64_t width, Body &&body) {
    parallel_chunks(context, rows, rows_worth_a_thread(width), static_cast<Body &&>(body));
}

// Columns a vector kernel draws side by side at most, so that bands of
// columns cut at multiples of it hand every kernel whole vectors.
inline constexpr int64_t widest_column_band = 64;

// Runs body(first, last) over columns [0, columns) of height pixels each, in
// chunks of at least pixels_worth_a_thread pixels, cut at multiples of
// widest_column_band columns (the last chunk takes the rest).
template <class Body>
void parallel_columns(const rv_Context *context, int64_t columns, int64_t height, Body &&body) {
    const int64_t unit = widest_column_band;
    const int64_t bands = (columns + unit - 1) / unit;
    parallel_rows(context, bands, unit * height, [&](int64_t first, int64_t last) {
        body(first * unit, std::min(last * unit, columns));
    });
}

}  // namespace relvane
