// Decodes a byte string into a sequence of public engine calls on a few
// contexts, surfaces, pipes and screens, and runs it. Any byte string is a
// valid program: missing bytes read as zero and every decoded value is one
// the engine must cope with. Objects stay live while they are used, and the
// entry points that take raw pixel pointers get runs that lie inside the
// memory they address. Shared by the fuzz target and the corpus replay test.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "relvane.h"

namespace relvane_fuzz {

// Pulls values off the input; past its end every byte is zero.
class Reader {
public:
    Reader(const uint8_t *data, size_t size) : p_(data), end_(data + size) {}

    bool done() const { return p_ >= end_; }

    uint8_t byte() { return p_ < end_ ? *p_++ : 0; }

    uint32_t raw32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; i++) v |= uint32_t{byte()} << (8 * i);
        return v;
    }

    uint64_t raw64() { return uint64_t{raw32()} | uint64_t{raw32()} << 32; }

    // Mostly small values around the surfaces' sizes, then edge values,
    // then any bit pattern.
    int32_t i32() {
        static const int32_t edges[] = {0, 1, -1, 2, 255, 256, 4096, 32767, 32768, 65535, 65536,
                                        -65536, 262160, 262161, 1 << 30, -(1 << 30),
                                        INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1};
        const uint8_t s = byte();
        if (s < 0xC0) return int32_t{s} - 32;
        if (s < 0xF0) return edges[(s - 0xC0) % (sizeof edges / sizeof edges[0])];
        return static_cast<int32_t>(raw32());
    }

    uint32_t u32() {
        const uint8_t s = byte();
        return s & 0x80 ? raw32() : s;
    }

    float f32() {
        static const float edges[] = {0.0f, -0.0f, 0.5f, 1.0f, -1.0f, 1.5f, 2.0f, 10.5f, 45.0f,
                                      89.9f, 90.0f, 91.0f, 180.0f, -90.0f, 255.99f, 256.0f,
                                      65535.0f, 1e5f, -1e5f, 2147483648.0f, -2147483904.0f,
                                      1e30f, -1e30f, FLT_MAX, -FLT_MAX, FLT_MIN, 1e-40f,
                                      std::numeric_limits<float>::quiet_NaN(),
                                      -std::numeric_limits<float>::quiet_NaN(),
                                      std::numeric_limits<float>::infinity(),
                                      -std::numeric_limits<float>::infinity()};
        const uint8_t s = byte();
        if (s < 0xA0) return static_cast<float>(int32_t{s} - 48) * 0.5f;
        if (s < 0xF0) return edges[(s - 0xA0) % (sizeof edges / sizeof edges[0])];
        float f;
        const uint32_t bits = raw32();
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    double f64() {
        const uint8_t s = byte();
        if (s < 0xF0) {
            static const double edges[] = {0.0, 1.0, 0.5, -0.5, 2.0, 1e300, -1e300, DBL_MAX,
                                           std::numeric_limits<double>::quiet_NaN(),
                                           std::numeric_limits<double>::infinity(),
                                           -std::numeric_limits<double>::infinity()};
            if (s < 0xC0) return s / 128.0 - 0.25;
            return edges[(s - 0xC0) % (sizeof edges / sizeof edges[0])];
        }
        double d;
        const uint64_t bits = raw64();
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

private:
    const uint8_t *p_;
    const uint8_t *end_;
};

// Everything a sequence works on. Surfaces are kept small so that a run
// stays fast; the sizes that must be refused are tried as well.
class World {
public:
    static constexpr int kContexts = 2, kSurfaces = 6, kPipes = 3, kScreens = 2;
    static constexpr int32_t kMaxSide = 48;
    static constexpr int kMaxCalls = 96;

    explicit World(Reader &in) : in_(in) {
        for (auto &c : contexts_) c = rv_NewContext();
    }

    ~World() {
        // The teardown order is up to the input: references are counted, so
        // any order must free everything exactly once.
        const bool contexts_first = in_.byte() & 1;
        if (contexts_first) free_contexts();
        for (auto &s : surfaces_) release(s);
        for (auto &p : pipes_) release(p);
        for (auto &s : screens_) release(s);
        if (!contexts_first) free_contexts();
    }

    void run() {
        for (int i = 0; i < kMaxCalls && !in_.done(); i++) call(in_.byte());
    }

private:
    void free_contexts() {
        for (auto &c : contexts_)
            if (c) rv_FreeContext(c), c = nullptr;
    }
    static void release(rv_Surface *&s) {
        if (s) rv_FreeSurface(s), s = nullptr;
    }
    static void release(rv_Pipe *&p) {
        if (p) rv_FreePipe(p), p = nullptr;
    }
    static void release(SDL_Surface *&s) {
        if (s) SDL_FreeSurface(s), s = nullptr;
    }

    rv_Context *context() {
        const int i = in_.byte() % kContexts;
        return contexts_[i] ? contexts_[i] : contexts_[1 - i];
    }
    rv_Surface *&surface_slot() { return surfaces_[in_.byte() % kSurfaces]; }
    rv_Surface *surface() { return surface_slot(); }
    rv_Pipe *&pipe_slot() { return pipes_[in_.byte() % kPipes]; }
    rv_Pipe *pipe() { return pipe_slot(); }

    // A side length: mostly 0..48, sometimes one that must be refused.
    int32_t side() {
        static const int32_t refused[] = {-1, -48, INT32_MIN};
        const uint8_t s = in_.byte();
        return s < 0xF0 ? s % (kMaxSide + 1) : refused[s % 3];
    }

    // A rectangle pointer: null, or a record of any values.
    rv_Rect *rect() {
        if (in_.byte() & 1) return nullptr;
        rect_ = {in_.i32(), in_.i32(), in_.i32(), in_.i32()};
        return &rect_;
    }

    const rv_Pixel *pixel() {
        pixel_.red = in_.byte();
        pixel_.green = in_.byte();
        pixel_.blue = in_.byte();
        pixel_.alpha = in_.byte();
        pixel_.light = static_cast<uint16_t>(in_.byte() << 8 | in_.byte());
        pixel_.z = static_cast<uint16_t>(in_.byte() << 8 | in_.byte());
        return &pixel_;
    }

    void new_surface() {
        rv_Context *c = context();
        rv_Surface *&slot = surface_slot();
        int32_t w = side(), h = side();
        // Both sides at the top of the range: a byte count that overflows.
        if (w == 0 && h == 0 && (in_.byte() & 1)) w = h = INT32_MAX;
        if (!c) return;
        release(slot);
        slot = rv_NewSurface(c, w, h);
    }

    void new_sub_surface() {
        rv_Surface *parent = surface();
        rv_Rect *r = rect();
        rv_Surface *&slot = surface_slot();
        if (!parent) return;
        rv_Surface *sub = rv_NewSubSurface(parent, r);
        release(slot);  // after the call: the parent may be this very slot
        slot = sub;
    }

    void new_screen() {
        // 24-bit screens of both byte orders, 32-bit ones (fourth byte kept),
        // and formats the display cannot use (16-bit, 8-bit).
        static const struct {
            int bpp;
            uint32_t r, g, b;
        } formats[] = {{24, 0xFF0000, 0xFF00, 0xFF},   {24, 0xFF, 0xFF00, 0xFF0000},
                       {32, 0xFF0000, 0xFF00, 0xFF},   {32, 0xFF000000, 0xFF0000, 0xFF00},
                       {16, 0xF800, 0x7E0, 0x1F},      {8, 0, 0, 0}};
        const auto &f = formats[in_.byte() % 6];
        SDL_Surface *&slot = screens_[in_.byte() % kScreens];
        const int w = in_.byte() % (kMaxSide + 9), h = in_.byte() % (kMaxSide + 9);
        release(slot);
        slot = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f.bpp, f.r, f.g, f.b, 0);
    }

    void set_pipe() {
        rv_Pipe *p = pipe();
        const uint8_t which = in_.byte();
        const uint32_t mode = in_.u32();
        const double value = in_.f64();
        if (!p) return;
        switch (which % 6) {
            case 0: rv_PipeSetZMode(p, mode); break;
            case 1: rv_PipeSetColourMode(p, mode); break;
            case 2: rv_PipeSetAlpha(p, mode, value); break;
            case 3: rv_PipeSetLight(p, mode, value); break;
            case 4: rv_PipeSetWrite(p, mode); break;
            default: rv_BuildPipe(p); break;
        }
    }

    // A run inside surface s from column x of row y: count <= the pixels
    // left in the row and <= the pipe context's spans. Also zero and
    // negative counts, which must write nothing.
    bool run_target(rv_Pipe *p, rv_Surface *s, rv_Pixel *&dst, int32_t &count) {
        const int32_t x = in_.byte(), y = in_.byte(), n = in_.i32();
        if (!p || !s || s->width == 0 || s->height == 0) return false;
        const int32_t col = x % s->width, row = y % s->height;
        const int32_t room = std::min(s->width - col, p->context->span_size);
        count = n <= 0 ? n : 1 + (n - 1) % room;
        dst = s->pixels + (static_cast<ptrdiff_t>(row) * s->pitch + col);
        return true;
    }

    void run_pipe() {
        rv_Pipe *p = pipe();
        rv_Surface *s = surface();
        rv_Pixel *dst;
        int32_t count;
        if (run_target(p, s, dst, count)) rv_RunPipe(p, p->context->source_span, dst, count);
    }

    // A stage called on its own, in a slot of a freshly assembled chain so
    // that the slots after it are valid and end with a terminal.
    void run_stage() {
        static const rv_PipeStage chained[] = {
            rv_StageZSet,          rv_StageZAdd,          rv_StageZSub,
            rv_StageZMul,          rv_StageZTestAbove,    rv_StageZTestBelow,
            rv_StageColourFetch,   rv_StageAlphaConst,    rv_StageAlphaSrc,
            rv_StageAlphaDst,      rv_StageLightConst,    rv_StageLightSrc,
            rv_StageLightDst,      rv_StageColourWrite,   rv_StageColourWriteMasked,
            rv_StageAlphaWriteSet, rv_StageAlphaWriteAdd, rv_StageAlphaWriteSub,
            rv_StageAlphaWriteMul, rv_StageLightWriteSet, rv_StageLightWriteAdd,
            rv_StageLightWriteSub, rv_StageLightWriteMul, rv_StageLightWriteBlend,
            rv_StageZWrite,        rv_StageEnd};
        constexpr int kStages = sizeof chained / sizeof chained[0];
        rv_Pipe *p = pipe();
        rv_Surface *s = surface();
        const int stage = in_.byte() % kStages;
        const uint8_t slot = in_.byte();
        rv_Pixel *dst;
        int32_t count;
        if (!run_target(p, s, dst, count) || rv_BuildPipe(p) != 0 || p->nstages < 2) return;
        const bool terminal = stage >= kStages - 2;
        const int32_t index = terminal ? slot : slot % (p->nstages - 1);
        chained[stage](p, index, p->context->source_span, dst, count);
    }

    void draw() {
        rv_Pipe *p = pipe();
        rv_Surface *s = surface();
        const uint8_t shape = in_.byte();
        const rv_Pixel *m = pixel();
        const float a = in_.f32(), b = in_.f32(), c = in_.f32(), d = in_.f32();
        if (!p || !s) return;
        switch (shape % 5) {
            case 0: rv_DrawBox(p, s, m, a, b, c, d); break;
            case 1: rv_DrawDisc(p, s, m, a, b, c); break;
            case 2: rv_DrawCone(p, s, m, a, b, c, d); break;
            case 3: rv_DrawDome(p, s, m, a, b, c, d); break;
            default: rv_DrawParaboloid(p, s, m, a, b, c, d); break;
        }
    }

    void area() {
        const uint8_t which = in_.byte();
        const uint32_t mask = in_.u32();
        rv_Surface *s = surface();
        rv_Rect *r = rect();
        const rv_Pixel *v = pixel();
        const int32_t n = in_.i32();
        if (!s) return;
        switch (which % 3) {
            case 0: rv_FillRect(mask, s, r, v); break;
            case 1: rv_ApplyWater(s, r, v, n); break;
            default: rv_RaiseToLevel(s, r, v, n); break;
        }
    }

    void copy() {
        const uint32_t mask = in_.u32();
        rv_Surface *src = surface();
        rv_Rect *r = rect();
        rv_Surface *dst = surface();
        const int32_t x = in_.i32(), y = in_.i32();
        if (src && dst) rv_CopyRect(mask, src, r, dst, x, y);
    }

    void terrain() {
        rv_Surface *s = surface();
        const uint8_t which = in_.byte();
        const int32_t step = in_.i32();
        const float a = in_.f32(), b = in_.f32(), c = in_.f32();
        if (!s) return;
        switch (which % 3) {
            case 0: rv_Fractal(s, step, a, b, c); break;
            case 1: rv_ShadeSlopes(s, a, b); break;
            default: rv_ShadeShadows(s, a); break;
        }
    }

    void show() {
        rv_Surface *s = surface();
        SDL_Surface *screen = screens_[in_.byte() % kScreens];
        const uint8_t which = in_.byte();
        const int32_t n = in_.i32();
        const float angle = in_.f32();
        if (!s || !screen) return;
        switch (which % 5) {
            case 0: rv_ShowColour(s, screen); break;
            case 1: rv_ShowProfiles(s, screen, n); break;
            case 2: rv_ShowHeight(s, screen, n); break;
            case 3: rv_ShowLight(s, screen); break;
            default: rv_ShowTilted(s, screen, angle); break;
        }
    }

    void core() {
        rv_Context *c = context();
        const uint8_t which = in_.byte();
        const int32_t n = in_.i32();
        const double mix = in_.f64();
        if (!c) return;
        switch (which % 4) {
            // Growth is tried up to a few thousand pixels; larger requests
            // only differ in what the allocator says.
            case 0: rv_ReserveScratch(c, n > 4096 ? n % 4096 : n); break;
            case 1: rv_ResetRandom(c, mix); break;
            case 2: rv_Random(c, static_cast<uint32_t>(n)); break;
            default: {
                rv_Surface *s = surface();
                if (s) rv_ClipRect(s, rect());
                break;
            }
        }
    }

    void call(uint8_t op) {
        switch (op % 14) {
            case 0: new_surface(); break;
            case 1: new_sub_surface(); break;
            case 2: release(surface_slot()); break;
            case 3: new_screen(); break;
            case 4: {
                rv_Context *c = context();
                rv_Pipe *&slot = pipe_slot();
                release(slot);
                if (c) slot = rv_NewPipe(c);
                break;
            }
            case 5: release(pipe_slot()); break;
            case 6: set_pipe(); break;
            case 7: run_pipe(); break;
            case 8: run_stage(); break;
            case 9: draw(); break;
            case 10: area(); break;
            case 11: copy(); break;
            case 12: terrain(); break;
            default:
                if (op & 0x80)
                    show();
                else
                    core();
                break;
        }
    }

    Reader &in_;
    rv_Context *contexts_[kContexts] = {};
    rv_Surface *surfaces_[kSurfaces] = {};
    rv_Pipe *pipes_[kPipes] = {};
    SDL_Surface *screens_[kScreens] = {};
    rv_Rect rect_{};
    rv_Pixel pixel_{};
};

// Runs the call sequence that data encodes.
inline void run_calls(const uint8_t *data, size_t size) {
    Reader in(data, size);
    World world(in);
    world.run();
}

}  // namespace relvane_fuzz
