// The rows of a shape through a pipe, shared among the context's threads in
// bands of rows when the pipe allows it (pipe_shares_rows). Each worker
// composes its runs in source and work spans of its own, copies of the
// context's; afterwards the context's spans are given what one thread would
// have left in them: at each place, the record of the last row that wrote
// it. Every row writes its source records and its work heights over the
// whole run; the other work fields only where the height test passed.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "shape_rows.h"
#include "../core/threads.h"
#include "../pipe/pipe_rows.h"

namespace relvane {

namespace shape_bands {

// One worker's spans and what its rows wrote in them.
struct Band {
    std::unique_ptr<rv_Pixel[]> source, work;
    std::unique_ptr<uint16_t[]> old_z;   // the destination heights a row's test saw
    std::unique_ptr<uint8_t[]> passed;   // a row of the band passed the test here
    int32_t reach = 0;                   // its longest run
};

inline bool passes(int32_t test, uint32_t w, uint32_t d) { return test == 1 ? w >= d : w <= d; }

}  // namespace shape_bands

// Runs rows y0..y1-1: fill(y, span) writes the row's source records into
// span and returns its run. width: the longest run a row may have.
template <typename FillRow>
void shape_rows(rv_Pipe *pipe, rv_Surface *surface, int32_t y0, int32_t y1, int32_t width, const FillRow &fill) {
    rv_Context *const c = surface->context;
    const int64_t chunks = chunks_for(c, int64_t{y1} - y0, rows_worth_a_thread(width));
    if (chunks <= 1 || !pipe_shares_rows(pipe)) {
        for (int32_t y = y0; y < y1; ++y) run_row(pipe, surface, fill(y, c->source_span), y);
        return;
    }
    using shape_bands::Band;
    const auto n = static_cast<size_t>(c->span_size);
    const int32_t test = pipe_height_test(pipe);
    std::unique_ptr<Band[]> bands(new (std::nothrow) Band[static_cast<size_t>(chunks)]);
    bool memory = bands != nullptr;
    for (int64_t k = 0; memory && k < chunks; ++k) {
        Band &b = bands[static_cast<size_t>(k)];
        b.source.reset(new (std::nothrow) rv_Pixel[n]);
        b.work.reset(new (std::nothrow) rv_Pixel[n]);
        if (test) {
            b.old_z.reset(new (std::nothrow) uint16_t[n]);
            b.passed.reset(new (std::nothrow) uint8_t[n]());
        }
        memory = b.source && b.work && (!test || (b.old_z && b.passed));
        if (memory) {
            std::memcpy(b.source.get(), c->source_span, n * sizeof(rv_Pixel));
            std::memcpy(b.work.get(), c->work_span, n * sizeof(rv_Pixel));
        }
    }
    if (!memory) {  // the calling thread alone, in the context's spans
        for (int32_t y = y0; y < y1; ++y) run_row(pipe, surface, fill(y, c->source_span), y);
        return;
    }
    run_chunks(chunks, int64_t{y1} - y0, [&](int64_t k, int64_t first, int64_t last) {
        Band &b = bands[static_cast<size_t>(k)];
        rv_Pipe own = *pipe;
        for (auto y = static_cast<int32_t>(y0 + first); y < y0 + last; ++y) {
            const Run run = fill(y, b.source.get());
            rv_Pixel *dst = surface_pixel(surface, run.x0, y);
            for (int32_t i = 0; test && i < run.count; ++i) b.old_z[i] = dst[i].z;
            own.work = b.work.get();
            run_pipe_in_own_work(&own, b.source.get(), dst, run.count);
            if (run.count <= 0) continue;
            b.reach = std::max(b.reach, run.count);
            for (int32_t i = 0; test && i < run.count; ++i)
                if (shape_bands::passes(test, b.work[i].z, b.old_z[i])) b.passed[i] = 1;
        }
    });
    for (int64_t k = 0; k < chunks; ++k) {
        const Band &b = bands[static_cast<size_t>(k)];
        std::memcpy(c->source_span, b.source.get(), static_cast<size_t>(b.reach) * sizeof(rv_Pixel));
        for (int32_t i = 0; i < b.reach; ++i) {
            if (!test || b.passed[i])
                c->work_span[i] = b.work[i];
            else
                c->work_span[i].z = b.work[i].z;
        }
    }
    pipe->work = c->work_span;
}

}  // namespace relvane
