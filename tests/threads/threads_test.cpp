// Every operation that shares its work among threads: the same random
// sequence run at 1, 2, 3 and 8 threads (more than this machine has) leaves
// the same surface bytes, screen bytes, random state and context spans.
// The threads' share threshold is lowered so that tiny surfaces split too.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "core/threads.h"
#include "terrain/terrain_fast.h"
#include "relvane.h"
#include "support/surface_helpers.h"

namespace {

using relvane_test::random_pixel;

// One engine instance at a random odd size: a surface, a window into it
// (or the surface itself), a pipe and a 24-bit screen.
struct World {
    rv_Context *context = rv_NewContext();
    rv_Surface *surface = nullptr;
    rv_Surface *target = nullptr;
    rv_Pipe *pipe = nullptr;
    SDL_Surface *screen = nullptr;

    World(std::mt19937 &rng, int32_t threads) {
        static const int32_t sizes[][2] = {{1, 1}, {2, 37}, {37, 2}, {5, 3}, {64, 7}, {93, 61}, {130, 41}};
        const auto &size = sizes[rng() % std::size(sizes)];
        surface = rv_NewSurface(context, size[0], size[1]);
        for (int32_t i = 0; i < size[0] * size[1]; ++i) surface->pixels[i] = random_pixel(rng);
        target = surface;
        if (rng() % 3 == 0) {
            rv_Rect r{int32_t(rng() % uint32_t(size[0])), int32_t(rng() % uint32_t(size[1])), 0, 0};
            r.w = 1 + int32_t(rng() % uint32_t(size[0] - r.x));
            r.h = 1 + int32_t(rng() % uint32_t(size[1] - r.y));
            target = rv_NewSubSurface(surface, &r);
        }
        pipe = rv_NewPipe(context);
        // 3 bytes a pixel, or 4 red first as in the page's canvas
        const bool canvas = rng() % 2 == 0;
        screen = SDL_CreateRGBSurface(SDL_SWSURFACE, size[0] + 3, size[1] + int32_t(rng() % 3), canvas ? 32 : 24,
                                      canvas ? 0x0000FFu : 0xFF0000u, 0x00FF00u, canvas ? 0xFF0000u : 0x0000FFu, 0);
        std::memset(screen->pixels, 0x5A, size_t(screen->pitch) * size_t(screen->h));
        rv_ResetRandom(context, double(rng() % 100) / 99.0);
        EXPECT_EQ(rv_SetThreads(context, threads), 0);
    }
    ~World() {
        SDL_FreeSurface(screen);
        rv_FreePipe(pipe);
        if (target != surface) rv_FreeSurface(target);
        rv_FreeSurface(surface);
        rv_FreeContext(context);
    }

    // Everything an operation may leave behind, as bytes.
    std::vector<uint8_t> state() const {
        std::vector<uint8_t> out;
        auto put = [&out](const void *p, size_t n) {
            const auto *b = static_cast<const uint8_t *>(p);
            out.insert(out.end(), b, b + n);
        };
        put(surface->pixels, sizeof(rv_Pixel) * size_t(surface->width) * size_t(surface->height));
        put(screen->pixels, size_t(screen->pitch) * size_t(screen->h));
        put(&context->random_a, 3 * sizeof(uint32_t));
        put(context->source_span, sizeof(rv_Pixel) * size_t(context->span_size));
        put(context->work_span, sizeof(rv_Pixel) * size_t(context->span_size));
        return out;
    }
};

// A rectangle that may stick out of the target on any side, or null.
rv_Rect random_rect(std::mt19937 &rng, const rv_Surface *s) {
    auto coord = [&rng](int32_t n) { return int32_t(rng() % uint32_t(n + 8)) - 4; };
    return {coord(s->width), coord(s->height), coord(s->width + 4), coord(s->height + 4)};
}

float uniform(std::mt19937 &rng, float lo, float hi) {
    return lo + (hi - lo) * float(rng() % 10001) / 10000.0f;
}

// Pipe settings of every kind the assembly builds.
void random_pipe(std::mt19937 &rng, rv_Pipe *p) {
    rv_PipeSetZMode(p, rng() % 16);
    rv_PipeSetAlpha(p, (rng() % 4) << 8, uniform(rng, 0.0f, 1.0f));
    rv_PipeSetLight(p, (rng() % 4) << 10, uniform(rng, 0.0f, 2.0f));
    rv_PipeSetWrite(p, rng() % 2 ? RV_PIPE_WRITE_Z | RV_PIPE_WRITE_RGB : uint32_t(rng()) & 0x17F7000u);
}

struct Op {
    const char *name;
    std::function<void(World &, std::mt19937 &)> run;
};

void PrintTo(const Op &op, std::ostream *os) { *os << op.name; }

const Op ops[] = {
    {"fill",
     [](World &w, std::mt19937 &rng) {
         rv_Rect r = random_rect(rng, w.target);
         const rv_Pixel v = random_pixel(rng);
         const uint32_t masks[] = {RV_FIELD_ALL, RV_FIELD_Z, uint32_t(rng()) & RV_FIELD_ALL};
         rv_FillRect(masks[rng() % 3], w.target, rng() % 4 ? &r : nullptr, &v);
     }},
    {"raise",
     [](World &w, std::mt19937 &rng) {
         rv_Rect r = random_rect(rng, w.target);
         const rv_Pixel level = random_pixel(rng);
         const int32_t factors[] = {0, 77, 256, -300, 40000};
         rv_RaiseToLevel(w.target, rng() % 4 ? &r : nullptr, &level, factors[rng() % 5]);
     }},
    {"fractal",
     [](World &w, std::mt19937 &rng) {
         rv_Fractal(w.target, int32_t(1u << (rng() % 7)), uniform(rng, 0, 60000), uniform(rng, 0, 30000),
                    uniform(rng, 0.2f, 0.9f));
     }},
    {"shapes",
     [](World &w, std::mt19937 &rng) {
         random_pipe(rng, w.pipe);
         const rv_Pixel m = random_pixel(rng);
         const float cx = uniform(rng, -10, float(w.target->width) + 10);
         const float cy = uniform(rng, -10, float(w.target->height) + 10);
         const float r = uniform(rng, 0, 80), h = uniform(rng, -200, 40000);
         switch (rng() % 5) {
         case 0: rv_DrawBox(w.pipe, w.target, &m, cx - r, cy - r, 2 * r, r); break;
         case 1: rv_DrawDisc(w.pipe, w.target, &m, cx, cy, r); break;
         case 2: rv_DrawCone(w.pipe, w.target, &m, cx, cy, r, h); break;
         case 3: rv_DrawDome(w.pipe, w.target, &m, cx, cy, r, h); break;
         default: rv_DrawParaboloid(w.pipe, w.target, &m, cx, cy, r, h);
         }
     }},
    {"displays",
     [](World &w, std::mt19937 &rng) {
         switch (rng() % 5) {
         case 0: rv_ShowColour(w.target, w.screen); break;
         case 1: rv_ShowLight(w.target, w.screen); break;
         case 2: rv_ShowProfiles(w.target, w.screen, int32_t(rng() % 9) - 1); break;
         case 3: rv_ShowHeight(w.target, w.screen, int32_t(rng() % 70000) - 100); break;
         default: rv_ShowTilted(w.target, w.screen, uniform(rng, 0.0f, 1.5708f));
         }
     }},
};

class Threads : public testing::TestWithParam<Op> {
protected:
    void SetUp() override {
        SDL_Init(SDL_INIT_NOPARACHUTE);
        relvane::pixels_worth_a_thread = 1;
        relvane::fast::fractal_draws_ahead = 0;  // every level's bands make their own draws
    }
    void TearDown() override {
        relvane::pixels_worth_a_thread = saved;
        relvane::fast::fractal_draws_ahead = saved_ahead;
    }
    const int64_t saved = relvane::pixels_worth_a_thread, saved_ahead = relvane::fast::fractal_draws_ahead;
};

TEST_P(Threads, EveryCountLeavesTheSameBytes) {
    const Op &op = GetParam();
    for (uint32_t seed = 0; seed < 40; ++seed) {
        std::vector<uint8_t> one;
        for (const int32_t threads : {1, 2, 3, 8}) {
            std::mt19937 rng(seed);
            World w(rng, threads);
            for (int k = 0; k < 4; ++k) op.run(w, rng);
            if (threads == 1) {
                one = w.state();
            } else {
                ASSERT_TRUE(w.state() == one) << op.name << ", seed " << seed << ", " << threads << " threads";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, Threads, testing::ValuesIn(ops),
                         [](const testing::TestParamInfo<Op> &info) { return std::string(info.param.name); });

// Two contexts driven from two threads of the caller's, each sharing its work
// with threads of its own, end as each would alone.
TEST(ThreadsApart, TwoContextsFromTwoThreads) {
    relvane::pixels_worth_a_thread = 1;
    auto run = [](uint32_t seed, std::vector<uint8_t> &out) {
        std::mt19937 rng(seed);
        World w(rng, 2);
        for (int k = 0; k < 20; ++k) ops[rng() % std::size(ops)].run(w, rng);
        out = w.state();
    };
    std::vector<uint8_t> alone[2], together[2];
    run(7, alone[0]);
    run(8, alone[1]);
    std::thread other([&] { run(8, together[1]); });
    run(7, together[0]);
    other.join();
    relvane::pixels_worth_a_thread = 32768;
    EXPECT_TRUE(alone[0] == together[0]);
    EXPECT_TRUE(alone[1] == together[1]);
}

}  // namespace
