#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "pipe/pipe_fixture.h"
#include "support/surface_helpers.h"

namespace {

struct Call { ptrdiff_t src, dst, work; int32_t count; };
std::vector<Call> calls;
const rv_Pixel *src0;
const rv_Pixel *dst0;
const rv_Pixel *work0;

void record(rv_Pipe *pipe, int32_t, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    calls.push_back({src - src0, dst - dst0, pipe->work - work0, count});
}

// A bare pipe record holding stage, then the recorder.
std::vector<Call> run_stage(rv_PipeStage stage, const rv_Pixel *src, rv_Pixel *dst, rv_Pixel *work,
                            int32_t count) {
    rv_Pipe pipe{};
    pipe.work = work;
    pipe.stages[0] = stage;
    pipe.stages[1] = record;
    pipe.nstages = 2;
    calls.clear();
    src0 = src, dst0 = dst, work0 = work;
    stage(&pipe, 0, src, dst, count);
    EXPECT_EQ(pipe.work, work) << "work restored";
    return calls;
}

TEST(HeightTest, CallsRestOfChainOncePerPassingSubRun) {
    struct Case {
        rv_PipeStage stage;
        std::vector<uint16_t> work_z, dst_z;
        std::vector<std::pair<int, int>> runs;  // (first pixel, count)
    };
    const Case cases[] = {
        {rv_StageZTestAbove, {10, 10, 10, 10, 10, 10}, {5, 20, 10, 9, 30, 0}, {{0, 1}, {2, 2}, {5, 1}}},
        {rv_StageZTestBelow, {10, 10, 10, 10, 10, 10}, {5, 20, 10, 9, 30, 0}, {{1, 2}, {4, 1}}},
        {rv_StageZTestAbove, {1, 2, 3}, {5, 5, 5}, {}},
        {rv_StageZTestBelow, {1, 2, 3}, {5, 5, 5}, {{0, 3}}},
        {rv_StageZTestAbove, {65535, 0, 65535}, {0, 65535, 65535}, {{0, 1}, {2, 1}}},
        {rv_StageZTestBelow, {0, 0, 7, 0}, {0, 0, 6, 0}, {{0, 2}, {3, 1}}},
    };
    for (const Case &c : cases) {
        const size_t n = c.work_z.size();
        std::vector<rv_Pixel> src(n), dst(n), work(n);
        for (size_t k = 0; k < n; ++k) work[k].z = c.work_z[k], dst[k].z = c.dst_z[k];
        const std::vector<Call> got =
            run_stage(c.stage, src.data(), dst.data(), work.data(), static_cast<int32_t>(n));
        ASSERT_EQ(got.size(), c.runs.size());
        for (size_t r = 0; r < got.size(); ++r) {
            EXPECT_EQ(got[r].src, c.runs[r].first);
            EXPECT_EQ(got[r].dst, c.runs[r].first);
            EXPECT_EQ(got[r].work, c.runs[r].first);
            EXPECT_EQ(got[r].count, c.runs[r].second);
        }
    }
}

// Empty runs: the height tests end the chain, every other stage writes
// nothing and passes the call on with the same count.
TEST(Stages, EmptyRunsWriteNothing) {
    const rv_PipeStage passing[] = {
        rv_StageZSet, rv_StageZAdd, rv_StageZSub, rv_StageZMul, rv_StageColourFetch,
        rv_StageAlphaConst, rv_StageAlphaSrc, rv_StageAlphaDst, rv_StageLightConst,
        rv_StageLightSrc, rv_StageLightDst, rv_StageColourWrite, rv_StageColourWriteMasked,
        rv_StageAlphaWriteSet, rv_StageAlphaWriteAdd, rv_StageAlphaWriteSub, rv_StageAlphaWriteMul,
        rv_StageLightWriteSet, rv_StageLightWriteAdd, rv_StageLightWriteSub, rv_StageLightWriteMul,
        rv_StageLightWriteBlend};
    rv_Pixel src{1, 2, 3, 4, 5, 6}, dst{7, 8, 9, 10, 11, 12}, work{13, 14, 15, 16, 17, 18};
    for (int32_t count : {0, -5}) {
        for (rv_PipeStage stage : passing) {
            const std::vector<Call> got = run_stage(stage, &src, &dst, &work, count);
            ASSERT_EQ(got.size(), 1u);
            EXPECT_EQ(got[0].count, count);
        }
        EXPECT_TRUE(run_stage(rv_StageZTestAbove, &src, &dst, &work, count).empty());
        EXPECT_TRUE(run_stage(rv_StageZTestBelow, &src, &dst, &work, count).empty());
        rv_Pipe bare{};
        bare.work = &work;
        rv_StageZWrite(&bare, 0, &src, &dst, count);
        rv_StageEnd(&bare, 0, &src, &dst, count);
    }
    EXPECT_EQ(dst.red, 7);
    EXPECT_EQ(dst.alpha, 10);
    EXPECT_EQ(dst.light, 11);
    EXPECT_EQ(dst.z, 12);
    EXPECT_EQ(work.red, 13);
    EXPECT_EQ(work.z, 18);
}

using PipeRun = PipeFixture;

// One pixel through a configured pipe: the stored arithmetic of each stage.
TEST_F(PipeRun, StageArithmetic) {
    struct Case {
        uint32_t flags;
        int32_t alpha, light;
        rv_Pixel src, dst, want;
    };
    const uint32_t rgbz = RV_PIPE_WRITE_RGB | RV_PIPE_WRITE_Z;
    const Case cases[] = {
        // Default pipe: equal heights pass, 255 x 256 loses one step.
        {0x1007004, 255, 256, {200, 0, 0, 0, 0, 1000}, {100, 0, 0, 0, 0, 1000}, {199, 0, 0, 0, 0, 1000}},
        {0x1007004, 255, 256, {200, 0, 0, 0, 0, 999}, {100, 0, 0, 0, 0, 1000}, {100, 0, 0, 0, 0, 1000}},
        {0x1007004, 127, 256, {200, 0, 0, 0, 0, 1000}, {100, 0, 0, 0, 0, 1000}, {149, 0, 0, 0, 0, 1000}},
        {0x1007004, 255, 512, {200, 0, 0, 0, 0, 1000}, {0, 0, 0, 0, 0, 1000}, {255, 0, 0, 0, 0, 1000}},
        {0x1007004, 255, 384, {100, 0, 0, 0, 0, 1000}, {0, 0, 0, 0, 0, 1000}, {149, 0, 0, 0, 0, 1000}},
        {0x1007004, 0, 256, {0, 9, 0, 0, 0, 1000}, {255, 255, 0, 0, 0, 1000}, {254, 254, 0, 0, 0, 1000}},
        // Light far above unity is held at 255 by the colour clamp.
        {0x1007004, 255, 65535, {255, 1, 0, 0, 0, 0}, {255, 0, 0, 0, 0, 0}, {255, 254, 0, 0, 0, 0}},
        // Height operations.
        {rgbz | RV_PIPE_Z_ADD, 255, 256, {0, 0, 0, 0, 0, 10000}, {0, 0, 0, 0, 0, 60000}, {0, 0, 0, 0, 0, 65535}},
        {rgbz | RV_PIPE_Z_SUB, 255, 256, {0, 0, 0, 0, 0, 10000}, {0, 0, 0, 0, 0, 5000}, {0, 0, 0, 0, 0, 0}},
        {rgbz | RV_PIPE_Z_MUL, 255, 256, {0, 0, 0, 0, 0, 2048}, {0, 0, 0, 0, 0, 8192}, {0, 0, 0, 0, 0, 4096}},
        {rgbz | RV_PIPE_Z_MUL, 255, 256, {0, 0, 0, 0, 0, 8192}, {0, 0, 0, 0, 0, 40000}, {0, 0, 0, 0, 0, 14464}},
        {rgbz | RV_PIPE_Z_MUL, 255, 256, {0, 0, 0, 0, 0, 65535}, {0, 0, 0, 0, 0, 65535}, {0, 0, 0, 0, 0, 0xFFE0}},
        // Alpha sources and writes.
        {RV_PIPE_ALPHA_SRC | RV_PIPE_ALPHA_WRITE_SET, 255, 256, {0, 0, 0, 255, 0, 0}, {0, 0, 0, 9, 0, 0}, {0, 0, 0, 254, 0, 0}},
        {RV_PIPE_ALPHA_DST | RV_PIPE_ALPHA_WRITE_SET, 255, 256, {0, 0, 0, 9, 0, 0}, {0, 0, 0, 128, 0, 0}, {0, 0, 0, 127, 0, 0}},
        {RV_PIPE_ALPHA_WRITE_SET, 300, 256, {}, {}, {0, 0, 0, 44, 0, 0}},
        {RV_PIPE_ALPHA_WRITE_ADD, 200, 256, {}, {0, 0, 0, 100, 0, 0}, {0, 0, 0, 255, 0, 0}},
        {RV_PIPE_ALPHA_WRITE_SUB, 200, 256, {}, {0, 0, 0, 100, 0, 0}, {0, 0, 0, 0, 0, 0}},
        {RV_PIPE_ALPHA_WRITE_SUB, 60, 256, {}, {0, 0, 0, 100, 0, 0}, {0, 0, 0, 40, 0, 0}},
        {RV_PIPE_ALPHA_WRITE_MUL, 128, 256, {}, {0, 0, 0, 200, 0, 0}, {0, 0, 0, 100, 0, 0}},
        // Negative and huge parameters keep the low bits of the wrapped product.
        {RV_PIPE_ALPHA_SRC | RV_PIPE_ALPHA_WRITE_SET, -255, 256, {0, 0, 0, 255, 0, 0}, {}, {0, 0, 0, 1, 0, 0}},
        {RV_PIPE_ALPHA_SRC | RV_PIPE_ALPHA_WRITE_SET, INT32_MAX, 256, {0, 0, 0, 255, 0, 0}, {}, {0, 0, 0, 0xFF, 0, 0}},
        // Light sources and writes.
        {RV_PIPE_LIGHT_SRC | RV_PIPE_LIGHT_WRITE_SET, 255, 256, {0, 0, 0, 0, 1234, 0}, {}, {0, 0, 0, 0, 1234, 0}},
        {RV_PIPE_LIGHT_DST | RV_PIPE_LIGHT_WRITE_SET, 255, 128, {}, {0, 0, 0, 0, 1000, 0}, {0, 0, 0, 0, 500, 0}},
        {RV_PIPE_LIGHT_WRITE_SET, 255, 70000, {}, {}, {0, 0, 0, 0, 4464, 0}},
        {RV_PIPE_LIGHT_SRC | RV_PIPE_LIGHT_WRITE_SET, 255, INT32_MIN, {0, 0, 0, 0, 65535, 0}, {}, {0, 0, 0, 0, 0, 0}},
        {RV_PIPE_LIGHT_SRC | RV_PIPE_LIGHT_WRITE_SET, 255, -256, {0, 0, 0, 0, 3, 0}, {}, {0, 0, 0, 0, 65533, 0}},
        {RV_PIPE_LIGHT_WRITE_ADD, 255, 10000, {}, {0, 0, 0, 0, 60000, 0}, {0, 0, 0, 0, 65535, 0}},
        {RV_PIPE_LIGHT_WRITE_SUB, 255, 10000, {}, {0, 0, 0, 0, 5000, 0}, {0, 0, 0, 0, 0, 0}},
        {RV_PIPE_LIGHT_WRITE_MUL, 255, 512, {}, {0, 0, 0, 0, 60000, 0}, {0, 0, 0, 0, 54464, 0}},
        {RV_PIPE_LIGHT_WRITE_MUL, 255, 65535, {}, {0, 0, 0, 0, 65535, 0}, {0, 0, 0, 0, 0xFE00, 0}},
        {RV_PIPE_LIGHT_WRITE_BLEND, 127, 512, {}, {0, 0, 0, 0, 256, 0}, {0, 0, 0, 0, 382, 0}},
        {RV_PIPE_LIGHT_WRITE_BLEND, 255, 65535, {}, {0, 0, 0, 0, 65535, 0}, {0, 0, 0, 0, 65279, 0}},
        // Masked colour writes touch only their channels.
        {RV_PIPE_WRITE_GREEN, 255, 256, {200, 200, 200, 0, 0, 0}, {1, 2, 3, 0, 0, 0}, {1, 199, 3, 0, 0, 0}},
        {RV_PIPE_WRITE_RED | RV_PIPE_WRITE_BLUE, 255, 256, {200, 200, 200, 0, 0, 0}, {1, 2, 3, 0, 0, 0}, {199, 2, 199, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        pipe->flags = c.flags;
        ASSERT_EQ(rv_BuildPipe(pipe), 0);
        pipe->alpha = c.alpha;
        pipe->light = c.light;
        rv_Pixel dst = c.dst;
        rv_RunPipe(pipe, &c.src, &dst, 1);
        EXPECT_EQ(dst, c.want) << std::hex << "flags " << c.flags;
    }
}

// Independent per-pixel model of a whole chain (64-bit signed arithmetic).
// Returns whether the pixel passed the height test; w is its work entry.
bool model(uint32_t f, int64_t A, int64_t L, const rv_Pixel &s, rv_Pixel &d, rv_Pixel &w) {
    const int64_t dz = d.z, sz = s.z;
    int64_t z = sz;
    if ((f & 3) == 1) z = std::min<int64_t>(dz + sz, 65535);
    if ((f & 3) == 2) z = std::max<int64_t>(dz - sz, 0);
    if ((f & 3) == 3) z = ((dz * sz) >> 12) & 0xFFFF;
    w.z = static_cast<uint16_t>(z);
    if ((f & 0xC) == 4 && !(z >= dz)) return false;
    if ((f & 0xC) == 8 && !(z <= dz)) return false;
    w.red = s.red, w.green = s.green, w.blue = s.blue;
    const int64_t alpha_in[] = {256, s.alpha, d.alpha};
    if ((f & 0x300) != 0x300) w.alpha = static_cast<uint8_t>(((alpha_in[(f >> 8) & 3] * A) >> 8) & 0xFF);
    const int64_t light_in[] = {256, s.light, d.light};
    if ((f & 0xC00) != 0xC00) w.light = static_cast<uint16_t>(((light_in[(f >> 10) & 3] * L) >> 8) & 0xFFFF);
    const int64_t a = w.alpha, i = w.light;
    uint8_t *const dc[] = {&d.red, &d.green, &d.blue};
    const uint8_t wc[] = {w.red, w.green, w.blue};
    for (int c = 0; c < 3; ++c) {
        if (!(f & (0x1000u << c))) continue;
        const int64_t t = ((wc[c] * i * a) >> 8) + *dc[c] * (255 - a);
        *dc[c] = static_cast<uint8_t>(t > 65535 ? 255 : t >> 8);
    }
    const int64_t da = d.alpha, wa = w.alpha;
    switch ((f >> 16) & 0xF) {
        case 1: d.alpha = w.alpha; break;
        case 2: d.alpha = static_cast<uint8_t>(std::min<int64_t>(da + wa, 255)); break;
        case 3: d.alpha = static_cast<uint8_t>(std::max<int64_t>(da - wa, 0)); break;
        case 4: d.alpha = static_cast<uint8_t>((da * wa) >> 8); break;
    }
    const int64_t dl = d.light, wl = w.light;
    switch ((f >> 20) & 0xF) {
        case 1: d.light = w.light; break;
        case 2: d.light = static_cast<uint16_t>(std::min<int64_t>(dl + wl, 65535)); break;
        case 3: d.light = static_cast<uint16_t>(std::max<int64_t>(dl - wl, 0)); break;
        case 4: d.light = static_cast<uint16_t>(((dl * wl) >> 8) & 0xFFFF); break;
        case 5: d.light = static_cast<uint16_t>((wl * a + dl * (255 - a)) >> 8); break;
    }
    if (f & RV_PIPE_WRITE_Z) d.z = w.z;
    return true;
}

// Random flag words, parameters and pixels (heights from a few values so that
// tests pass and fail in mixed runs), written into one row of a sub-surface.
TEST_F(PipeRun, FullChainsMatchModel) {
    rv_Surface *surface = rv_NewSurface(context, 64, 3);
    const rv_Rect window{5, 1, 50, 1};
    rv_Surface *sub = rv_NewSubSurface(surface, &window);
    ASSERT_NE(sub, nullptr);
    std::mt19937 rng(2024);
    const auto rnd = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
    const int32_t params[] = {0, 1, 127, 255, 256, 384, 65535, 70000, -1, -300, INT32_MAX, INT32_MIN};
    const uint16_t heights[] = {0, 1, 999, 1000, 1001, 4096, 65535};
    for (int trial = 0; trial < 3000; ++trial) {
        const uint32_t flags = static_cast<uint32_t>(rng()) & ~RV_PIPE_COLOUR_MASK;
        const int32_t count = static_cast<int32_t>(rnd(51));
        pipe->flags = flags;
        ASSERT_EQ(rv_BuildPipe(pipe), 0);
        pipe->alpha = rnd(3) ? static_cast<int32_t>(rnd(300)) : params[rnd(12)];
        pipe->light = rnd(3) ? static_cast<int32_t>(rnd(1024)) : params[rnd(12)];
        for (int32_t k = 0; k < 64 * 3; ++k) {
            surface->pixels[k] = relvane_test::random_pixel(rng);
            surface->pixels[k].z = heights[rnd(7)];
        }
        for (int32_t k = 0; k < count; ++k) {
            context->source_span[k] = relvane_test::random_pixel(rng);
            if (rnd(2)) context->source_span[k].z = heights[rnd(7)];
        }
        std::vector<rv_Pixel> want(surface->pixels, surface->pixels + 64 * 3);
        std::vector<rv_Pixel> want_work(context->work_span, context->work_span + count);
        for (int32_t k = 0; k < count; ++k)
            model(flags, pipe->alpha, pipe->light, context->source_span[k], want[64 + 5 + k], want_work[k]);

        rv_RunPipe(pipe, context->source_span, sub->pixels, count);
        for (int32_t k = 0; k < 64 * 3; ++k)
            ASSERT_EQ(surface->pixels[k], want[k]) << "flags " << std::hex << flags << std::dec
                                                           << " pixel " << k << " trial " << trial;
        for (int32_t k = 0; k < count; ++k)
            ASSERT_EQ(context->work_span[k], want_work[k]) << "work " << k << " trial " << trial;
        ASSERT_EQ(pipe->work, context->work_span);
    }
    rv_FreeSurface(sub);
    rv_FreeSurface(surface);
}

}  // namespace
