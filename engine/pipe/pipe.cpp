// The pipe record, its setters, the assembly of its chain and its entry.
#include "pipe.h"

#include <cstdlib>

#include "pipe_rows.h"
#include "stage_table.h"
#include "stages_fast.h"
#include "../core/fast_path.h"
#include "../core/float_convert.h"

namespace {

// False after a failed assembly (a colour source other than 0 is its only
// cause) or with a slot count outside the table; whatever the slots hold
// otherwise runs, the caller's own stages included.
bool runnable(const rv_Pipe *pipe) {
    return !(pipe->flags & RV_PIPE_COLOUR_MASK) && pipe->nstages >= 1 &&
           pipe->nstages <= RV_PIPE_SLOTS;
}

// value x scale truncated toward zero and saturated; NaN gives 0.
int32_t scaled_parameter(double value, double scale) {
    const double v = value * scale;
    return v == v ? relvane::trunc_to_i32(v) : 0;
}

// The chain the flags select, into the pipe's slots; false for a colour
// source other than 0, after the height stages.
bool assemble_slots(rv_Pipe *pipe) {
    const relvane::Chain chain = relvane::assemble(pipe->flags);
    pipe->nstages = chain.nstages;
    for (int32_t k = 0; k < chain.nstages; ++k)
        pipe->stages[k] = relvane::stage_function(chain.stages[static_cast<size_t>(k)]);
    return chain.complete;
}

int32_t set_field(rv_Pipe *pipe, uint32_t mask, uint32_t value) {
    pipe->flags = (pipe->flags & ~mask) | (value & mask);
    return rv_BuildPipe(pipe);
}

}  // namespace

// The fused chains' plain kernels: the chain's slots one after another.
RELVANE_PLAIN_KERNEL(chain_none) { p->stages[0](p, 0, s, d, n); }
RELVANE_PLAIN_KERNEL(chain_above) { p->stages[0](p, 0, s, d, n); }
RELVANE_PLAIN_KERNEL(chain_below) { p->stages[0](p, 0, s, d, n); }

namespace relvane::fast {

namespace {

// A chain done in one pass, named by the flags that assemble it.
constexpr FusedChain fused_chain(uint32_t flags, decltype(FusedChain::body) body) {
    const Chain chain = assemble(flags);
    FusedChain fused{chain.nstages, {}, body};
    for (int32_t k = 0; k < chain.nstages; ++k)
        fused.stages[k] = stage_function(chain.stages[static_cast<size_t>(k)]);
    return fused;
}

// The test program's chain, without its height test.
constexpr uint32_t kUntested = RV_PIPE_Z_SET | RV_PIPE_COLOUR_SRC | RV_PIPE_ALPHA_CONST |
                               RV_PIPE_LIGHT_CONST | RV_PIPE_WRITE_RGB | RV_PIPE_WRITE_Z;

constexpr FusedChain kFusedChains[] = {
    fused_chain(kUntested | RV_PIPE_ZTEST_ABOVE, &Table::chain_above),
    fused_chain(kUntested | RV_PIPE_ZTEST_BELOW, &Table::chain_below),
    fused_chain(kUntested, &Table::chain_none),
};

}  // namespace

const FusedChain *find_fused_chain(const rv_Pipe *pipe) {
    for (const FusedChain &chain : kFusedChains)
        if (holds(pipe, chain)) return &chain;
    return nullptr;
}

}  // namespace relvane::fast

extern "C" {

rv_Pipe *rv_NewPipe(rv_Context *context) {
    auto *pipe = static_cast<rv_Pipe *>(std::calloc(1, sizeof(rv_Pipe)));
    if (!pipe) return nullptr;
    pipe->context = context;
    ++context->refcount;
    rv_PipeSetZMode(pipe, RV_PIPE_ZTEST_ABOVE);
    rv_PipeSetColourMode(pipe, RV_PIPE_COLOUR_SRC);
    rv_PipeSetAlpha(pipe, RV_PIPE_ALPHA_CONST, 1.0);
    rv_PipeSetLight(pipe, RV_PIPE_LIGHT_CONST, 1.0);
    rv_PipeSetWrite(pipe, RV_PIPE_WRITE_Z | RV_PIPE_WRITE_RGB);
    return pipe;
}

void rv_FreePipe(rv_Pipe *pipe) {
    rv_FreeContext(pipe->context);
    std::free(pipe);
}

int32_t rv_PipeSetZMode(rv_Pipe *pipe, uint32_t mode) {
    return set_field(pipe, RV_PIPE_Z_MASK | RV_PIPE_ZTEST_MASK, mode);
}

int32_t rv_PipeSetColourMode(rv_Pipe *pipe, uint32_t mode) {
    return set_field(pipe, RV_PIPE_COLOUR_MASK, mode);
}

int32_t rv_PipeSetAlpha(rv_Pipe *pipe, uint32_t mode, double alpha) {
    pipe->alpha = scaled_parameter(alpha, 255.0);
    return set_field(pipe, RV_PIPE_ALPHA_MASK, mode);
}

int32_t rv_PipeSetLight(rv_Pipe *pipe, uint32_t mode, double light) {
    pipe->light = scaled_parameter(light, 256.0);
    return set_field(pipe, RV_PIPE_LIGHT_MASK, mode);
}

int32_t rv_PipeSetWrite(rv_Pipe *pipe, uint32_t flags) {
    return set_field(pipe, RV_PIPE_WRITE_RGB | RV_PIPE_ALPHA_WRITE_MASK | RV_PIPE_LIGHT_WRITE_MASK |
                               RV_PIPE_WRITE_Z,
                     flags);
}

// The chain in the list's order (stage_list.h): height operation, height
// test, colour fetch, alpha source, light source, colour write, alpha write,
// light write, terminal.
int32_t rv_BuildPipe(rv_Pipe *pipe) {
    pipe->fused = nullptr;
    pipe->work = pipe->context->work_span;
    if (!assemble_slots(pipe)) return -1;
    pipe->fused = relvane::fast::find_fused_chain(pipe);
    return 0;
}


// The work span is read from the context on every run, so a pipe assembled
// before the context's spans grew still runs in live memory. Empty and
// negative runs go to the stages too, which write nothing for them.
void rv_RunPipe(rv_Pipe *pipe, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    if (count > pipe->context->span_size || !runnable(pipe)) return;
    pipe->work = pipe->context->work_span;
    relvane::fast::run_chain(pipe, src, dst, count);
}

}  // extern "C"

void relvane::run_pipe_in_own_work(rv_Pipe *pipe, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    if (count > pipe->context->span_size || !runnable(pipe)) return;
    relvane::fast::run_chain(pipe, src, dst, count);
}

bool relvane::pipe_shares_rows(const rv_Pipe *pipe) {
    if (!runnable(pipe)) return false;
    rv_Pipe built = *pipe;
    if (!assemble_slots(&built) || built.nstages != pipe->nstages) return false;
    for (int32_t k = 0; k < pipe->nstages; ++k)
        if (built.stages[k] != pipe->stages[k]) return false;
    // The colour and alpha writes and the blended light write read the work
    // alpha; the colour and light writes read the work light.
    const uint32_t f = pipe->flags;
    const bool colour = (f & RV_PIPE_WRITE_RGB) != 0;
    const uint32_t alpha_write = (f >> 16) & 0xFu, light_write = (f >> 20) & 0xFu;
    const bool reads_alpha = colour || (alpha_write >= 1 && alpha_write <= 4) || light_write == 5;
    const bool reads_light = colour || (light_write >= 1 && light_write <= 5);
    if (reads_alpha && (f & RV_PIPE_ALPHA_MASK) == RV_PIPE_ALPHA_MASK) return false;
    if (reads_light && (f & RV_PIPE_LIGHT_MASK) == RV_PIPE_LIGHT_MASK) return false;
    return true;
}
