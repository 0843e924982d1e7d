#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "support/surface_helpers.h"

using namespace relvane_test;

namespace {

// One pipe call as the pipe saw it: off is dst's distance from the first
// pixel, x and y are read from it.
struct Call {
    int32_t x, y, count;
    std::vector<rv_Pixel> src;
    ptrdiff_t off;
};

struct Capture {
    const rv_Surface *surface = nullptr;
    std::vector<Call> calls;
};
Capture *g_capture = nullptr;

void capture_stage(rv_Pipe *, int32_t, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    const ptrdiff_t off = dst - g_capture->surface->pixels;
    const int32_t pitch = g_capture->surface->pitch;
    g_capture->calls.push_back({static_cast<int32_t>(off % pitch),
                                static_cast<int32_t>(off / pitch), count,
                                std::vector<rv_Pixel>(src, src + (count > 0 ? count : 0)), off});
}

// A pipe whose one slot records its runs, as a caller may fill it; writes nothing.
struct CapturePipe {
    Capture capture;
    rv_Pipe *pipe;
    CapturePipe(rv_Context *context, const rv_Surface *surface) : pipe(rv_NewPipe(context)) {
        capture.surface = surface;
        pipe->stages[0] = capture_stage;
        pipe->nstages = 1;
        g_capture = &capture;
    }
    ~CapturePipe() {
        rv_FreePipe(pipe);
        g_capture = nullptr;
    }
    const Call *row(int32_t y) const {
        for (const Call &c : capture.calls)
            if (c.y == y) return &c;
        return nullptr;
    }
};

const float kNan = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

enum Shape { kBox, kDisc, kCone, kDome, kParaboloid };

void draw(Shape s, rv_Pipe *p, rv_Surface *surf, const rv_Pixel &m, float a, float b, float c,
          float d) {
    switch (s) {
    case kBox: rv_DrawBox(p, surf, &m, a, b, c, d); break;
    case kDisc: rv_DrawDisc(p, surf, &m, a, b, c); break;
    case kCone: rv_DrawCone(p, surf, &m, a, b, c, d); break;
    case kDome: rv_DrawDome(p, surf, &m, a, b, c, d); break;
    case kParaboloid: rv_DrawParaboloid(p, surf, &m, a, b, c, d); break;
    }
}

}  // namespace

TEST(Shapes, DiscRowsAndColumns) {
    struct Row { int32_t y, first, last; };
    struct Case { float c; std::vector<Row> rows; };
    // Row 7 is empty: outside the circle (x 0), or touching it (count 0).
    const Case cases[] = {
        {10.5f, {{7, 0, -1}, {8, 8, 11}, {9, 7, 12}, {10, 7, 12}, {11, 7, 12}, {12, 7, 12}}},
        {10.0f, {{7, 10, 9}, {8, 7, 11}, {9, 7, 11}, {10, 7, 12}, {11, 7, 11}, {12, 7, 11}}},
    };
    const rv_Pixel material{200, 100, 50, 0, 0, 1234};
    for (const Case &k : cases) {
        Canvas c(32, 32);
        CapturePipe cp(c.context, c.surface);
        rv_DrawDisc(cp.pipe, c.surface, &material, k.c, k.c, 3.0f);
        ASSERT_EQ(cp.capture.calls.size(), k.rows.size()) << k.c;
        for (const Row &r : k.rows) {
            const Call *call = cp.row(r.y);
            ASSERT_NE(call, nullptr) << r.y;
            EXPECT_EQ(call->x, r.first);
            EXPECT_EQ(call->count, r.last - r.first + 1) << "row " << r.y;
            for (const rv_Pixel &p : call->src) {
                EXPECT_EQ(p.red, 200);
                EXPECT_EQ(p.green, 100);
                EXPECT_EQ(p.blue, 50);
                EXPECT_EQ(p.z, 1234);
            }
        }
    }
}

TEST(Shapes, HeightProfilesOfRowTen) {
    struct Case { Shape shape; float h; uint16_t zb; std::vector<uint16_t> z; };
    const Case cases[] = {
        {kDome, 3.0f, 1000, {0, 1404, 1652, 1746, 1746, 1652}},
        {kCone, 300.0f, 1000, {946, 1045, 1141, 1229, 1229, 1141}},
        {kParaboloid, 3.0f, 1000, {701, 1213, 1554, 1725, 1725, 1554}},
        // clamped, not wrapped
        {kCone, 2000.0f, 65000, {64642, 65300, 65535, 65535, 65535, 65535}},
        {kCone, 300.0f, 0, {0, 45, 141, 229, 229, 141}},
        {kDome, 300.0f, 65000, {0, 65535, 65535, 65535, 65535, 65535}},
        {kParaboloid, 3.0f, 0, {0, 213, 554, 725, 725, 554}},
    };
    for (const Case &k : cases) {
        Canvas c(32, 32);
        CapturePipe cp(c.context, c.surface);
        const rv_Pixel material{1, 2, 3, 0, 0, k.zb};
        draw(k.shape, cp.pipe, c.surface, material, 10.5f, 10.5f, 3.0f, k.h);
        const Call *call = cp.row(10);
        ASSERT_NE(call, nullptr);
        ASSERT_EQ(call->x, 7);
        ASSERT_EQ(call->count, 6);
        for (size_t i = 0; i < 6; ++i)
            EXPECT_EQ(call->src[i].z, k.z[i]) << "shape " << k.shape << " column " << 7 + i;
    }
}

TEST(Shapes, DomeClippedAtTopLeft) {
    Canvas c(16, 16);
    CapturePipe cp(c.context, c.surface);
    const rv_Pixel material{};
    rv_DrawDome(cp.pipe, c.surface, &material, 2.0f, 2.0f, 4.0f, 4.0f);
    ASSERT_FALSE(cp.capture.calls.empty());
    EXPECT_EQ(cp.capture.calls.front().y, 0);
    const Call *centre = cp.row(2);
    ASSERT_NE(centre, nullptr);
    EXPECT_EQ(centre->x, 0);
    EXPECT_EQ(centre->src[2].z, 1024);
}

TEST(Shapes, BoxRowsColumnsAndEmptyBoxes) {
    Canvas c(32, 32);
    CapturePipe cp(c.context, c.surface);
    const rv_Pixel material{9, 8, 7, 0, 0, 300};
    rv_DrawBox(cp.pipe, c.surface, &material, -5.5f, 2.7f, 10.0f, 3.0f);
    ASSERT_EQ(cp.capture.calls.size(), 3u);
    for (int32_t y = 2; y <= 4; ++y) {
        const Call *call = cp.row(y);
        ASSERT_NE(call, nullptr);
        EXPECT_EQ(call->x, 0);
        ASSERT_EQ(call->count, 4);
        EXPECT_EQ(call->src[3].z, 300);
        EXPECT_EQ(call->src[3].red, 9);
    }
    cp.capture.calls.clear();
    rv_DrawBox(cp.pipe, c.surface, &material, 2.0f, 2.0f, 5.0f, -3.0f);
    rv_DrawDisc(cp.pipe, c.surface, &material, 5.0f, 5.0f, -2.0f);
    rv_DrawCone(cp.pipe, c.surface, &material, 5.0f, 5.0f, 0.0f, 100.0f);
    EXPECT_TRUE(cp.capture.calls.empty());
}

// Rows with no pixel still reach the pipe, at the clipped left end: a box of
// negative width gives each of its rows a negative count, a circle row outside
// the circle or off the surface a count of 0 or less.
TEST(Shapes, EmptyRowsReachThePipe) {
    struct Row { int32_t y, x, count; };
    struct Case { Shape shape; float a, b, c, d; std::vector<Row> rows; };
    const Case cases[] = {
        {kBox, 20.0f, 2.0f, -5.0f, 3.0f, {{2, 20, -5}, {3, 20, -5}, {4, 20, -5}}},
        {kBox, -10.0f, 30.5f, 5.0f, 9.0f, {{30, 0, -5}, {31, 0, -5}}},
        {kBox, 40.0f, 0.0f, -20.0f, 1.0f, {{0, 32, -12}}},
        {kDisc, -10.0f, 4.5f, 2.0f, 0.0f, {{2, 0, 0}, {3, 0, -8}, {4, 0, -8}, {5, 0, -8}}},
        {kDisc, 40.0f, 4.0f, 1.0f, 0.0f, {{3, 32, 0}, {4, 32, 0}}},
        {kDome, 10.5f, 10.5f, 3.0f, 3.0f, {{7, 0, 0}}},
        {kDome, -5.0f, 5.0f, 2.0f, 2.0f, {{3, 0, -5}, {4, 0, -3}, {5, 0, -3}, {6, 0, -3}}},
    };
    const rv_Pixel material{1, 2, 3, 0, 0, 100};
    for (const Case &k : cases) {
        Canvas c(32, 32);
        CapturePipe cp(c.context, c.surface);
        draw(k.shape, cp.pipe, c.surface, material, k.a, k.b, k.c, k.d);
        std::vector<Call> empty;
        for (const Call &call : cp.capture.calls)
            if (call.count <= 0) empty.push_back(call);
        ASSERT_EQ(empty.size(), k.rows.size()) << "shape " << k.shape << " at " << k.a << "," << k.b;
        for (size_t i = 0; i < empty.size(); ++i) {
            EXPECT_EQ(empty[i].off, ptrdiff_t{k.rows[i].y} * 32 + k.rows[i].x) << "shape " << k.shape;
            EXPECT_EQ(empty[i].count, k.rows[i].count) << "shape " << k.shape << " row " << k.rows[i].y;
        }
    }
}

// A shape on a window into a larger surface gives, inside the window, the
// same heights as the shape moved by the window's offset on a whole surface,
// and leaves the rest of the parent alone: clipping on all four sides.
TEST(Shapes, ClippedToASubSurfaceOnEverySide) {
    const rv_Rect window{6, 5, 20, 16};
    const float centres[][2] = {{0.5f, 8.0f}, {19.5f, 8.0f}, {10.0f, 0.5f}, {10.0f, 15.5f},
                                {-2.0f, -2.0f}, {21.0f, 17.0f}};
    for (Shape shape : {kBox, kDisc, kCone, kDome, kParaboloid})
        for (const auto &ctr : centres) {
            Canvas canvas(32, 28);
            rv_Surface *parent = canvas.surface;
            rv_Surface *whole = rv_NewSurface(canvas.context, 32, 28);
            rv_Surface *sub = rv_NewSubSurface(parent, &window);
            rv_Pipe *pipe = rv_NewPipe(canvas.context);
            const rv_Pixel material{50, 60, 70, 0, 0, 4000};
            draw(shape, pipe, sub, material, ctr[0], ctr[1], 5.5f, 6.0f);
            draw(shape, pipe, whole, material, ctr[0] + 6.0f, ctr[1] + 5.0f, 5.5f, 6.0f);
            int drawn = 0;
            for (int32_t y = 0; y < 28; ++y)
                for (int32_t x = 0; x < 32; ++x) {
                    const bool inside = x >= 6 && x < 26 && y >= 5 && y < 21;
                    const uint16_t want = inside ? at(whole, x, y).z : 0;
                    EXPECT_EQ(at(parent, x, y).z, want) << shape << " " << x << "," << y;
                    drawn += at(parent, x, y).z != 0;
                }
            if (shape != kBox || ctr[0] < 20.0f) EXPECT_GT(drawn, 0);
            rv_FreePipe(pipe);
            rv_FreeSurface(sub);
            rv_FreeSurface(whole);
        }
}

// Callers' floats of any value: every run lies inside the surface and no
// conversion is undefined (the sanitizer build checks the latter).
TEST(Shapes, WildParametersStayInsideTheSurface) {
    const float wild[] = {kNan, kInf, -kInf, 1e30f, -1e30f, 3e9f, -3e9f, 2147483648.0f,
                          -2147483648.0f, 0.0f, -0.0f, 1e-40f, -7.25f, 5.5f, 13.0f, 1e6f};
    const size_t n = sizeof wild / sizeof wild[0];
    Canvas c(13, 9);
    CapturePipe cp(c.context, c.surface);
    std::mt19937 rng(5);
    const rv_Pixel material{1, 1, 1, 0, 0, 60000};
    for (int round = 0; round < 4000; ++round) {
        float v[4];
        for (float &f : v) f = wild[rng() % n];
        draw(static_cast<Shape>(round % 5), cp.pipe, c.surface, material, v[0], v[1], v[2], v[3]);
    }
    ASSERT_FALSE(cp.capture.calls.empty());
    // An empty run may start just past its row's last pixel.
    for (const Call &call : cp.capture.calls) {
        ASSERT_GE(call.off, 0);
        if (call.count <= 0) {
            ASSERT_LE(call.off, 13 * 9);
            continue;
        }
        ASSERT_LT(call.y, 9);
        ASSERT_LE(call.x + call.count, 13);
    }
}

// A pipe of one context never draws into a surface of another: its spans
// are not the surface's context's.
TEST(Shapes, PipeOfAnotherContextDrawsNothing) {
    Canvas wide(200, 4);
    Canvas narrow(8, 8);
    CapturePipe cp(narrow.context, wide.surface);
    rv_Pipe *real = rv_NewPipe(narrow.context);
    const rv_Pixel material{5, 5, 5, 0, 0, 900};
    for (Shape shape : {kBox, kDisc, kCone, kDome, kParaboloid}) {
        draw(shape, cp.pipe, wide.surface, material, 100.0f, 2.0f, 150.0f, 2.0f);
        draw(shape, real, wide.surface, material, 100.0f, 2.0f, 150.0f, 2.0f);
    }
    EXPECT_TRUE(cp.capture.calls.empty());
    for (const rv_Pixel &p : snapshot(wide.surface)) EXPECT_EQ(p, rv_Pixel{});
    rv_FreePipe(real);
}
