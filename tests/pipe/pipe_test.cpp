#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "pipe/pipe_fixture.h"

namespace {

struct PipeTest : PipeFixture {
    std::vector<rv_PipeStage> chain() const {
        return {pipe->stages, pipe->stages + pipe->nstages};
    }
};

// The chain a flag word should assemble into, written field by field.
std::vector<rv_PipeStage> expected_chain(uint32_t f) {
    std::vector<rv_PipeStage> c;
    switch (f & RV_PIPE_Z_MASK) {
        case RV_PIPE_Z_SET: c.push_back(rv_StageZSet); break;
        case RV_PIPE_Z_ADD: c.push_back(rv_StageZAdd); break;
        case RV_PIPE_Z_SUB: c.push_back(rv_StageZSub); break;
        default: c.push_back(rv_StageZMul); break;
    }
    if ((f & RV_PIPE_ZTEST_MASK) == RV_PIPE_ZTEST_ABOVE) c.push_back(rv_StageZTestAbove);
    if ((f & RV_PIPE_ZTEST_MASK) == RV_PIPE_ZTEST_BELOW) c.push_back(rv_StageZTestBelow);
    if (f & RV_PIPE_COLOUR_MASK) return c;
    c.push_back(rv_StageColourFetch);
    switch (f & RV_PIPE_ALPHA_MASK) {
        case RV_PIPE_ALPHA_CONST: c.push_back(rv_StageAlphaConst); break;
        case RV_PIPE_ALPHA_SRC: c.push_back(rv_StageAlphaSrc); break;
        case RV_PIPE_ALPHA_DST: c.push_back(rv_StageAlphaDst); break;
    }
    switch (f & RV_PIPE_LIGHT_MASK) {
        case RV_PIPE_LIGHT_CONST: c.push_back(rv_StageLightConst); break;
        case RV_PIPE_LIGHT_SRC: c.push_back(rv_StageLightSrc); break;
        case RV_PIPE_LIGHT_DST: c.push_back(rv_StageLightDst); break;
    }
    if ((f & RV_PIPE_WRITE_RGB) == RV_PIPE_WRITE_RGB) c.push_back(rv_StageColourWrite);
    else if (f & RV_PIPE_WRITE_RGB) c.push_back(rv_StageColourWriteMasked);
    switch (f & RV_PIPE_ALPHA_WRITE_MASK) {
        case RV_PIPE_ALPHA_WRITE_SET: c.push_back(rv_StageAlphaWriteSet); break;
        case RV_PIPE_ALPHA_WRITE_ADD: c.push_back(rv_StageAlphaWriteAdd); break;
        case RV_PIPE_ALPHA_WRITE_SUB: c.push_back(rv_StageAlphaWriteSub); break;
        case RV_PIPE_ALPHA_WRITE_MUL: c.push_back(rv_StageAlphaWriteMul); break;
    }
    switch (f & RV_PIPE_LIGHT_WRITE_MASK) {
        case RV_PIPE_LIGHT_WRITE_SET: c.push_back(rv_StageLightWriteSet); break;
        case RV_PIPE_LIGHT_WRITE_ADD: c.push_back(rv_StageLightWriteAdd); break;
        case RV_PIPE_LIGHT_WRITE_SUB: c.push_back(rv_StageLightWriteSub); break;
        case RV_PIPE_LIGHT_WRITE_MUL: c.push_back(rv_StageLightWriteMul); break;
        case RV_PIPE_LIGHT_WRITE_BLEND: c.push_back(rv_StageLightWriteBlend); break;
    }
    c.push_back((f & RV_PIPE_WRITE_Z) ? rv_StageZWrite : rv_StageEnd);
    return c;
}

TEST_F(PipeTest, NewPipeHasDefaultsAndHoldsContext) {
    EXPECT_EQ(pipe->flags, 0x1007004u);
    EXPECT_EQ(pipe->alpha, 255);
    EXPECT_EQ(pipe->light, 256);
    EXPECT_EQ(pipe->context, context);
    EXPECT_EQ(pipe->work, context->work_span);
    EXPECT_EQ(context->refcount, 2);
    const std::vector<rv_PipeStage> want = {rv_StageZSet,       rv_StageZTestAbove,
                                            rv_StageColourFetch, rv_StageAlphaConst,
                                            rv_StageLightConst,  rv_StageColourWrite,
                                            rv_StageZWrite};
    EXPECT_EQ(chain(), want);
}

TEST_F(PipeTest, LongestChainHasNineStages) {
    pipe->flags = 0x1521105;
    ASSERT_EQ(rv_BuildPipe(pipe), 0);
    const std::vector<rv_PipeStage> want = {
        rv_StageZAdd,       rv_StageZTestAbove,        rv_StageColourFetch,
        rv_StageAlphaSrc,   rv_StageLightConst,        rv_StageColourWriteMasked,
        rv_StageAlphaWriteAdd, rv_StageLightWriteBlend, rv_StageZWrite};
    EXPECT_EQ(chain(), want);
}

// Every value of every field, the other fields drawn at random.
TEST_F(PipeTest, ChainFollowsEveryValueOfEveryField) {
    struct Field { uint32_t mask; unsigned shift; };
    const Field fields[] = {{0x3, 0},      {0xC, 2},       {0xF0, 4},   {0x300, 8},
                            {0xC00, 10},   {0x1000, 12},   {0x2000, 13}, {0x4000, 14},
                            {0x8000, 15},  {0xF0000, 16},  {0xF00000, 20}, {0x1000000, 24},
                            {0xFE000000, 25}};
    std::mt19937 rng(7);
    for (const Field &field : fields) {
        for (uint32_t v = 0; v <= (field.mask >> field.shift) && v < 128; ++v) {
            for (int trial = 0; trial < 8; ++trial) {
                const uint32_t other = static_cast<uint32_t>(rng()) & ~field.mask & ~0xF0u;
                const uint32_t f = other | (v << field.shift);
                pipe->flags = f;
                const int32_t result = rv_BuildPipe(pipe);
                const std::vector<rv_PipeStage> want = expected_chain(f);
                EXPECT_EQ(result, (f & 0xF0) ? -1 : 0) << std::hex << f;
                EXPECT_EQ(chain(), want) << std::hex << f;
                EXPECT_EQ(pipe->work, context->work_span);
                if (result == 0) EXPECT_LE(pipe->nstages, 9);
            }
        }
    }
}

TEST_F(PipeTest, SettersReplaceOnlyTheirFields) {
    struct Case { int32_t (*set)(rv_Pipe *, uint32_t); uint32_t arg; uint32_t before, after; };
    const auto z = [](rv_Pipe *p, uint32_t m) { return rv_PipeSetZMode(p, m); };
    const auto colour = [](rv_Pipe *p, uint32_t m) { return rv_PipeSetColourMode(p, m); };
    const auto alpha = [](rv_Pipe *p, uint32_t m) { return rv_PipeSetAlpha(p, m, 1.0); };
    const auto light = [](rv_Pipe *p, uint32_t m) { return rv_PipeSetLight(p, m, 1.0); };
    const auto write = [](rv_Pipe *p, uint32_t m) { return rv_PipeSetWrite(p, m); };
    const Case cases[] = {
        {z, 0x13, 0x1007004, 0x1007003},
        {z, 0xFFFFFFFF, 0, 0xF},
        {alpha, 0xFFFFFFFF, 0, 0x300},
        {light, 0xFFFFFFFF, 0, 0xC00},
        {light, 0x400, 0xFFFFFF0F, 0xFFFFF70F},
        {write, 0xFFFFFFFF, 0, 0x1FF7000},
        {write, 0, 0xFFFFFF0F, 0xFE008F0F},
        {colour, 0x0F, 0x1007004, 0x1007004},
    };
    for (const Case &c : cases) {
        pipe->flags = c.before;
        c.set(pipe, c.arg);
        EXPECT_EQ(pipe->flags, c.after) << std::hex << c.before << " " << c.arg;
    }
}

TEST_F(PipeTest, WriteFieldsOutOfRangeAddNoStage) {
    ASSERT_EQ(rv_PipeSetWrite(pipe, 0xFFFFFFFF), 0);
    EXPECT_EQ(pipe->stages[pipe->nstages - 2], rv_StageColourWrite);
    EXPECT_EQ(pipe->stages[pipe->nstages - 1], rv_StageZWrite);
    ASSERT_EQ(rv_PipeSetWrite(pipe, 0), 0);
    EXPECT_EQ(pipe->stages[pipe->nstages - 1], rv_StageEnd);
    EXPECT_EQ(pipe->stages[pipe->nstages - 2], rv_StageLightConst);
}

TEST_F(PipeTest, ParametersAreScaledTruncatedAndGuarded) {
    struct Case { double value; int32_t alpha, light; };
    const Case cases[] = {
        {1.0, 255, 256},          {0.5, 127, 128},           {-0.5, -127, -128},
        {300.0, 76500, 76800},    {1e300, INT32_MAX, INT32_MAX},
        {-1e300, INT32_MIN, INT32_MIN}, {NAN, 0, 0},        {INFINITY, INT32_MAX, INT32_MAX},
        {8421504.5, 2147483647, INT32_MAX},  // alpha: 2147483647.5 truncates
    };
    for (const Case &c : cases) {
        EXPECT_EQ(rv_PipeSetAlpha(pipe, 0, c.value), 0);
        EXPECT_EQ(rv_PipeSetLight(pipe, 0, c.value), 0);
        EXPECT_EQ(pipe->alpha, c.alpha) << c.value;
        EXPECT_EQ(pipe->light, c.light) << c.value;
    }
}

TEST_F(PipeTest, ColourSourceFailsEveryAssemblyUntilCleared) {
    const std::vector<rv_PipeStage> before = chain();
    EXPECT_EQ(rv_PipeSetColourMode(pipe, 0x10), -1);
    EXPECT_EQ(pipe->nstages, 2);
    EXPECT_EQ(rv_PipeSetZMode(pipe, RV_PIPE_Z_ADD), -1);
    EXPECT_EQ(pipe->nstages, 1);
    // Slots after the refreshed ones keep the earlier chain.
    for (size_t k = 1; k < before.size(); ++k) EXPECT_EQ(pipe->stages[k], before[k]);
    EXPECT_EQ(rv_PipeSetAlpha(pipe, 0, 1.0), -1);
    EXPECT_EQ(rv_PipeSetLight(pipe, 0, 1.0), -1);
    EXPECT_EQ(rv_PipeSetWrite(pipe, 0x1007000), -1);
    EXPECT_EQ(rv_PipeSetColourMode(pipe, 0), 0);
    EXPECT_EQ(chain(), expected_chain(pipe->flags));
}

// One red 200 / z 500 source pixel over a zero destination through the default pipe.
struct RunGuards : PipeTest {
    rv_Pixel src[4] = {{200, 0, 0, 0, 0, 500}, {200, 0, 0, 0, 0, 500}};
};

TEST_F(RunGuards, RunWritesNothingAfterFailedAssembly) {
    rv_Pixel dst[2] = {};
    rv_PipeSetColourMode(pipe, 0x20);
    rv_RunPipe(pipe, src, dst, 2);
    EXPECT_EQ(dst[0].z, 0);
    EXPECT_EQ(dst[0].red, 0);
    rv_PipeSetColourMode(pipe, 0);
    rv_RunPipe(pipe, src, dst, 2);
    EXPECT_EQ(dst[1].z, 500);
    EXPECT_EQ(dst[1].red, 199);
}

TEST_F(RunGuards, RunWritesNothingForEmptyOrOverlongCounts) {
    for (int32_t count : {0, -1, INT32_MIN, context->span_size + 1, INT32_MAX}) {
        rv_Pixel dst[2] = {};
        rv_RunPipe(pipe, src, dst, count);
        EXPECT_EQ(dst[0].z, 0) << count;
        EXPECT_EQ(dst[0].red, 0) << count;
    }
}

// The pipe was assembled before a wide surface replaced the spans: the run
// must use the new work span, not the freed one.
TEST_F(RunGuards, RunUsesSpansThatGrewAfterAssembly) {
    rv_Pixel *const old_work = pipe->work;
    rv_Surface *wide = rv_NewSurface(context, 3000, 2);
    ASSERT_NE(wide, nullptr);
    ASSERT_NE(context->work_span, old_work);
    rv_Pixel *row = wide->pixels + wide->pitch;
    for (int32_t x = 0; x < 3000; ++x) context->source_span[x] = {9, 8, 7, 0, 0, 1234};
    rv_RunPipe(pipe, context->source_span, row, 3000);
    EXPECT_EQ(pipe->work, context->work_span);
    EXPECT_EQ(row[2999].z, 1234);
    EXPECT_EQ(row[2999].red, 8);
    EXPECT_EQ(wide->pixels[0].z, 0);
    rv_FreeSurface(wide);
}

// Without alpha and light sources the writes use the work span's values:
// zero in a fresh context, then whatever the last run left there.
TEST_F(RunGuards, MissingSourcesUseWhatTheWorkSpanHolds) {
    rv_PipeSetAlpha(pipe, RV_PIPE_ALPHA_MASK, 1.0);
    rv_PipeSetLight(pipe, RV_PIPE_LIGHT_MASK, 1.0);
    rv_PipeSetWrite(pipe, RV_PIPE_WRITE_RGB | RV_PIPE_LIGHT_WRITE_SET);
    rv_Pixel dst[2] = {{100, 100, 100, 0, 77, 0}};
    rv_RunPipe(pipe, src, dst, 1);
    EXPECT_EQ(dst[0].red, (100 * 255) >> 8);
    EXPECT_EQ(dst[0].light, 0);

    rv_PipeSetAlpha(pipe, RV_PIPE_ALPHA_CONST, 1.0);
    rv_PipeSetLight(pipe, RV_PIPE_LIGHT_CONST, 1.0);
    rv_RunPipe(pipe, src, dst, 1);
    rv_PipeSetAlpha(pipe, RV_PIPE_ALPHA_MASK, 0.0);
    rv_PipeSetLight(pipe, RV_PIPE_LIGHT_MASK, 0.0);
    dst[0] = {0, 0, 0, 0, 0, 0};
    rv_RunPipe(pipe, src, dst, 1);
    EXPECT_EQ(dst[0].red, 199);
    EXPECT_EQ(dst[0].light, 256);
}

// A caller's own stage: records each call (offsets from the run's start)
// and passes it on unless it fills the last slot.
struct Seen {
    int32_t index;
    ptrdiff_t src, dst, work;
    int32_t count;
    bool operator==(const Seen &) const = default;
};
std::vector<Seen> g_seen;
const rv_Pixel *g_src, *g_dst, *g_work;

void recording_stage(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst,
                     int32_t count) {
    g_seen.push_back({index, src - g_src, dst - g_dst, pipe->work - g_work, count});
    if (index + 1 < pipe->nstages) pipe->stages[index + 1](pipe, index + 1, src, dst, count);
}

// Six source pixels at z 10 over destination heights 5, 20, 10, 9, 30, 0.
struct CallerStages : PipeTest {
    rv_Pixel src[6], dst[6];
    std::vector<Seen> run(const std::vector<rv_PipeStage> &slots, int32_t count) {
        const uint16_t dz[6] = {5, 20, 10, 9, 30, 0};
        for (int k = 0; k < 6; ++k) src[k] = {200, 2, 3, 0, 0, 10}, dst[k] = {0, 0, 0, 0, 0, dz[k]};
        std::copy(slots.begin(), slots.end(), pipe->stages);
        pipe->nstages = static_cast<int32_t>(slots.size());
        g_seen.clear();
        g_src = src, g_dst = dst, g_work = context->work_span;
        rv_RunPipe(pipe, src, dst, count);
        return g_seen;
    }
};

// rv_RunPipe runs whatever the slots hold, empty and negative runs included;
// the height tests cut runs into sub-runs and end empty ones.
TEST_F(CallerStages, RunReachesTheCallersStages) {
    const rv_PipeStage rec = recording_stage;
    const std::vector<rv_PipeStage> to_rec = {rv_StageZSet, rv_StageZTestAbove, rv_StageColourFetch,
                                              rv_StageAlphaConst, rv_StageLightConst,
                                              rv_StageColourWrite, rec};
    std::vector<rv_PipeStage> below = to_rec;
    below[1] = rv_StageZTestBelow;
    struct Case { std::vector<rv_PipeStage> slots; int32_t count; std::vector<Seen> seen; };
    const Case cases[] = {
        {{rec}, 6, {{0, 0, 0, 0, 6}}},
        {{rec}, 0, {{0, 0, 0, 0, 0}}},
        {{rec}, -4, {{0, 0, 0, 0, -4}}},
        {{rec, rv_StageZSet, rv_StageZTestAbove, rv_StageZWrite}, 0, {{0, 0, 0, 0, 0}}},
        {{rv_StageZSet, rec}, -3, {{1, 0, 0, 0, -3}}},
        {to_rec, 6, {{6, 0, 0, 0, 1}, {6, 2, 2, 2, 2}, {6, 5, 5, 5, 1}}},
        {below, 6, {{6, 1, 1, 1, 2}, {6, 4, 4, 4, 1}}},
        {to_rec, 0, {}},
        {below, -3, {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(run(c.slots, c.count), c.seen) << c.slots.size() << " slots, count " << c.count;
        EXPECT_EQ(pipe->work, context->work_span);
    }
    // The built-in stages before the recorder still did their work.
    run(to_rec, 6);
    EXPECT_EQ(dst[0].red, 199);
    EXPECT_EQ(dst[1].red, 0);
    EXPECT_EQ(dst[0].z, 5);  // the recorder took the place of the height write
}

// A failed assembly, a slot count outside the table or a run longer than the
// spans reaches no stage.
TEST_F(CallerStages, RefusedRunsCallNoStage) {
    struct Case { uint32_t flags; int32_t nstages, count; };
    const Case cases[] = {
        {0x10, 1, 6}, {0xF0, 1, 6}, {0, 0, 6}, {0, -1, 6}, {0, RV_PIPE_SLOTS + 1, 6},
        {0, 1, context->span_size + 1}, {0, 1, INT32_MAX},
    };
    for (const Case &c : cases) {
        run({recording_stage}, 1);
        pipe->flags = c.flags;
        pipe->nstages = c.nstages;
        g_seen.clear();
        rv_RunPipe(pipe, src, dst, c.count);
        EXPECT_TRUE(g_seen.empty()) << c.flags << " " << c.nstages << " " << c.count;
    }
}

}  // namespace
