// The hot pipe stages' and the fused chains' slots. Each stage's kernel
// does the whole stage, the call of the rest of the chain included; a chain's
// does the whole chain (its plain kernel: the chain's slots in turn).
#pragma once

#include "pipe.h"
#include "../core/fast_table.h"

namespace relvane::fast {

// A chain done in one pass: the exact slots it stands for and its body's
// slot in the table.
struct FusedChain {
    int32_t nstages;
    rv_PipeStage stages[RV_PIPE_SLOTS];
    RELVANE_FAST_POINTER(chain_none) Table::*body;  // its kernel's slot
};

// The fused chain whose slots the pipe holds now, or null: asked once, by
// the assembly, which keeps it in the pipe's `fused` field.
const FusedChain *find_fused_chain(const rv_Pipe *pipe);

// True when the pipe's slots hold exactly the chain's stages.
inline bool holds(const rv_Pipe *pipe, const FusedChain &chain) {
    if (pipe->nstages != chain.nstages) return false;
    for (int32_t k = 0; k < chain.nstages; ++k)
        if (pipe->stages[k] != chain.stages[k]) return false;
    return true;
}

// The run through the pipe: the fused chain the assembly chose, while the
// slots still hold what the assembly wrote (a caller may have written its own
// since), else the slots one after another.
inline void run_chain(rv_Pipe *pipe, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    const auto *chain = static_cast<const FusedChain *>(pipe->fused);
    if (chain && holds(pipe, *chain))
        (table().*(chain->body))(pipe, src, dst, count);
    else
        pipe->stages[0](pipe, 0, src, dst, count);
}

// What the list's path column keeps: RELVANE_IF_##path(code) is code for
// the stages marked FAST and nothing for the others.
#define RELVANE_IF_FAST(...) __VA_ARGS__
#define RELVANE_IF_PLAIN(...)

}  // namespace relvane::fast
