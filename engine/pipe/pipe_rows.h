// What a shape needs to run its rows through a pipe on several threads:
// whether the pipe's chain allows it, and a run in a work span of the
// caller's choosing.
#pragma once

#include "pipe.h"

namespace relvane {

// True when the slots hold the chain the last assembly built from the flags
// (built-in stages only) and every work field the chain reads is set by one
// of its stages in the same run: then a run's result depends on its own
// source and destination pixels alone, not on what earlier runs left in the
// work span. A caller's own stages may read anything: never shared.
bool pipe_shares_rows(const rv_Pipe *pipe);

// The height test of the chain: 0 none, 1 at or above, 2 at or below.
inline int32_t pipe_height_test(const rv_Pipe *pipe) {
    const uint32_t t = (pipe->flags & RV_PIPE_ZTEST_MASK) >> 2;
    return t == 3 ? 0 : static_cast<int32_t>(t);
}

// rv_RunPipe in the work span pipe->work holds (a worker's own), which the
// run leaves there.
void run_pipe_in_own_work(rv_Pipe *pipe, const rv_Pixel *src, rv_Pixel *dst, int32_t count);

}  // namespace relvane
