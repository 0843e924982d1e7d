#if RELVANE_SIMD
#include <algorithm>
#include <utility>

#include "fast_compare.h"
#include "pipe/stages_fast.h"

namespace {

using fastcheck::same;

void fill_random(rv_Pixel *p, size_t n, std::mt19937 &rng, uint16_t centre) {
    for (size_t i = 0; i < n; i++) {
        const uint32_t r = rng();
        std::memcpy(&p[i], &r, 4);
        p[i].light = uint16_t(rng() % 4 == 0 ? rng() : rng() % 600);
        p[i].z = uint16_t(rng() % 2 ? rng() : centre + int(rng() % 16) - 8);
    }
}

// Half the time the test program's chain (any height test, any alpha and
// light), else any assembling configuration: every height mode and test,
// every source and write mode, parameters beyond their usual ranges now and
// then.
void configure(rv_Pipe *pipe, std::mt19937 &rng) {
    const bool usual = rng() % 2;
    rv_PipeSetZMode(pipe, usual ? (rng() % 4) << 2 : rng() % 16);
    rv_PipeSetAlpha(pipe, usual ? 0 : (rng() % 4) << 8, rng() % 3 ? 1.0 : double(rng() % 1000) / 400 - 0.5);
    rv_PipeSetLight(pipe, usual ? 0 : (rng() % 4) << 10, rng() % 3 ? 1.0 : double(rng() % 30000) / 100);
    rv_PipeSetWrite(pipe, usual || rng() % 2 ? 0x1007000u : rng());
}

RELVANE_FAST_SUITE(PipeFast);

// Random runs of -5..300 pixels through random pipes: the destination row and
// the work span must match the plain stages byte for byte.
TEST_P(PipeFast, RunsMatchPlain) {
    std::mt19937 rng(21);
    rv_Context *context = rv_NewContext();
    rv_Surface *surface = rv_NewSurface(context, 320, 1);
    rv_Pipe *pipe = rv_NewPipe(context);
    const size_t span = size_t(context->span_size);
    std::vector<rv_Pixel> src(span), dst(320), work(span), expected_dst, expected_work;
    for (int t = 0; t < 8000; t++) {
        configure(pipe, rng);
        const auto count = int32_t(rng() % 306) - 5;
        const auto x = int32_t(rng() % uint32_t(321 - std::max(count, 0)));
        const auto centre = uint16_t(rng());
        fill_random(src.data(), span, rng, centre);
        fill_random(dst.data(), dst.size(), rng, centre);
        fill_random(work.data(), span, rng, centre);
        for (bool fast : {false, true}) {
            relvane::set_fast_paths_enabled(fast);
            std::copy(dst.begin(), dst.end(), surface->pixels);
            std::copy(work.begin(), work.end(), context->work_span);
            rv_RunPipe(pipe, src.data(), surface->pixels + x, count);
            if (!fast) {
                expected_dst.assign(surface->pixels, surface->pixels + 320);
                expected_work.assign(context->work_span, context->work_span + span);
            }
        }
        ASSERT_TRUE(same(expected_dst, {surface->pixels, surface->pixels + 320}))
            << "trial " << t << " flags " << std::hex << pipe->flags;
        ASSERT_TRUE(same(expected_work, {context->work_span, context->work_span + span})) << "trial " << t;
    }
    rv_FreePipe(pipe);
    rv_FreeSurface(surface);
    rv_FreeContext(context);
}

// A random shape (disc, cone, dome or paraboloid, possibly partly or wholly
// off the surface) through a random pipe, into the surface or a sub-surface.
// Whichever table is in force, the spans start from the same random contents.
void draw_random(rv_Surface *s, std::mt19937 &rng) {
    rv_Context *c = s->context;
    fill_random(c->source_span, size_t(c->span_size), rng, uint16_t(rng()));
    fill_random(c->work_span, size_t(c->span_size), rng, uint16_t(rng()));
    rv_Pipe *pipe = rv_NewPipe(c);
    configure(pipe, rng);
    rv_Rect part{int32_t(rng() % 40) - 10, int32_t(rng() % 40) - 10, int32_t(rng() % 100), int32_t(rng() % 100)};
    rv_Surface *target = rng() % 3 ? s : rv_NewSubSurface(s, &part);
    auto coord = [&](int32_t side) { return float(int32_t(rng() % uint32_t(side + 300)) - 150) + float(rng() % 4) / 4; };
    const float cx = coord(s->width), cy = coord(s->height);
    const float r = rng() % 8 ? float(rng() % 10000) / 100 : float(rng() % 3);
    const float h = rng() % 8 ? float(rng() % 30000) : float(int32_t(rng() % 200000) - 100000) / 7;
    rv_Pixel m{};
    const uint32_t bits = rng();
    std::memcpy(&m, &bits, 4);
    m.z = uint16_t(rng());
    const uint32_t shape = rng() % 4;
    if (target) {
        switch (shape) {
        case 0: rv_DrawDisc(pipe, target, &m, cx, cy, r); break;
        case 1: rv_DrawCone(pipe, target, &m, cx, cy, r, h); break;
        case 2: rv_DrawDome(pipe, target, &m, cx, cy, r, h / 256); break;
        default: rv_DrawParaboloid(pipe, target, &m, cx, cy, r, h / 256);
        }
        if (target != s) rv_FreeSurface(target);
    }
    rv_FreePipe(pipe);
}

// Empty runs write nothing, in the fused chains and in every chain's stages
// (as an entry that hands them on calls them); spans that are not 8-byte
// aligned or that overlap give what the plain kernels give.
TEST_P(PipeFast, EmptyRunsAndUnusualSpans) {
    std::mt19937 rng(23);
    rv_Context *context = rv_NewContext();
    rv_Surface *surface = rv_NewSurface(context, 64, 1);
    rv_Pipe *pipe = rv_NewPipe(context);
    std::vector<rv_Pixel> src(64);
    fill_random(src.data(), src.size(), rng, 100);
    fill_random(surface->pixels, 64, rng, 100);
    fill_random(context->work_span, size_t(context->span_size), rng, 100);
    const std::vector<rv_Pixel> dst(surface->pixels, surface->pixels + 64);
    const std::vector<rv_Pixel> work(context->work_span, context->work_span + context->span_size);
    auto unchanged = [&] {
        return same(dst, {surface->pixels, surface->pixels + 64}) &&
               same(work, {context->work_span, context->work_span + context->span_size});
    };
    for (int t = 0; t < 200; t++) {
        configure(pipe, rng);
        for (int32_t count : {0, -1, -300}) {
            pipe->work = context->work_span;
            pipe->stages[0](pipe, 0, src.data(), surface->pixels, count);
            relvane::fast::run_chain(pipe, src.data(), surface->pixels, count);
        }
        ASSERT_TRUE(unchanged()) << "flags " << std::hex << pipe->flags;
    }
    rv_PipeSetZMode(pipe, RV_PIPE_ZTEST_ABOVE);
    rv_PipeSetAlpha(pipe, RV_PIPE_ALPHA_CONST, 1.0);
    rv_PipeSetLight(pipe, RV_PIPE_LIGHT_CONST, 1.0);
    rv_PipeSetWrite(pipe, 0x1007000u);
    ASSERT_TRUE(pipe->fused);
    // (an odd address is read and written a byte at a time by both tables)
    auto *odd = reinterpret_cast<rv_Pixel *>(reinterpret_cast<char *>(surface->pixels) + 4);
    const std::pair<const rv_Pixel *, rv_Pixel *> spans[] = {
        {src.data(), odd}, {surface->pixels + 4, surface->pixels}, {src.data(), context->work_span + 7}};
    for (const auto &[from, to] : spans) {
        std::vector<rv_Pixel> out[2];
        for (bool fast : {false, true}) {
            relvane::set_fast_paths_enabled(fast);
            std::copy(dst.begin(), dst.end(), surface->pixels);
            std::copy(work.begin(), work.end(), context->work_span);
            relvane::fast::run_chain(pipe, from, to, 8);
            out[fast].assign(surface->pixels, surface->pixels + 64);
            out[fast].insert(out[fast].end(), context->work_span, context->work_span + context->span_size);
        }
        EXPECT_TRUE(same(out[0], out[1]));
    }
    rv_FreePipe(pipe);
    rv_FreeSurface(surface);
    rv_FreeContext(context);
}

// A stage a caller writes into a slot after the assembly runs in place of
// the fused chain the assembly chose.
int recorded = 0;
void record(rv_Pipe *, int32_t, const rv_Pixel *, rv_Pixel *, int32_t) { recorded++; }

TEST(PipeFast, CallersStagesReplaceTheFusedChain) {
    rv_Context *context = rv_NewContext();
    rv_Surface *surface = rv_NewSurface(context, 16, 1);
    rv_Pipe *pipe = rv_NewPipe(context);
    ASSERT_TRUE(pipe->fused);
    std::vector<rv_Pixel> src(16, rv_Pixel{200, 0, 0, 0, 0, 1000});
    const std::vector<rv_Pixel> before(surface->pixels, surface->pixels + 16);
    pipe->stages[1] = record;
    rv_RunPipe(pipe, src.data(), surface->pixels, 16);
    EXPECT_EQ(recorded, 1);
    EXPECT_TRUE(same(before, {surface->pixels, surface->pixels + 16}));  // the test ended the chain
    rv_FreePipe(pipe);
    rv_FreeSurface(surface);
    rv_FreeContext(context);
}

RELVANE_FAST_SUITE(ShapesFast);

TEST_P(ShapesFast, RoundShapesMatchPlain) {
    fastcheck::compare(
        1000, 160, 120, 22, draw_random, draw_random);
}

}  // namespace
#endif
