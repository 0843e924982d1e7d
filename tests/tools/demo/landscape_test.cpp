#include <cstring>
#include <set>
#include <tuple>

#include "demo_fixture.h"

namespace {

using Landscape = StartedDemo;

bool same(const rv_Surface *a, const rv_Surface *b) {
    if (a->width != b->width || a->height != b->height) return false;
    for (int32_t y = 0; y < a->height; ++y)
        if (std::memcmp(a->pixels + y * a->pitch, b->pixels + y * b->pitch,
                        sizeof(rv_Pixel) * static_cast<size_t>(a->width)) != 0)
            return false;
    return true;
}

// A second demo of the same size, for comparisons.
struct Twin {
    rv_Demo d;
    rv_DemoLoop l;
    explicit Twin(const rv_Demo &like) {
        rv_DemoDefaults(&d, &l);
        d = like;
        l.context = rv_NewContext();
        d.scene = rv_NewSurface(l.context, like.scene->width, like.scene->height);
        d.view = rv_NewSurface(l.context, like.view->width, like.view->height);
        d.pipe = nullptr;
        rv_DemoSetUpPipe(&d, &l);
    }
    ~Twin() { rv_DemoRelease(&d, &l); }
};

TEST_F(Landscape, SameSettingsGiveTheSamePictureBitForBit) {
    ASSERT_EQ(start({"-w320", "-h200"}), 0);
    rv_DemoBuildLandscape(&d, &l, d.scene);
    EXPECT_EQ(l.context->random_mix, 14068u);  // from phase 0.8
    EXPECT_EQ(d.scene_dirty, 0);
    EXPECT_EQ(d.view_dirty, 1);
    rv_DemoBuildView(&d, &l);
    EXPECT_EQ(d.view_dirty, 0);

    Twin t(d);
    rv_Random(t.l.context, 1000);  // earlier draws do not matter
    rv_DemoBuildLandscape(&t.d, &t.l, t.d.scene);
    rv_DemoBuildView(&t.d, &t.l);
    EXPECT_TRUE(same(d.scene, t.d.scene));
    EXPECT_TRUE(same(d.view, t.d.view));

    t.d.phase = 1.3;
    rv_DemoBuildLandscape(&t.d, &t.l, t.d.scene);
    EXPECT_FALSE(same(d.scene, t.d.scene));
}

TEST_F(Landscape, ColoursAreTheBaseAndTheSixShapeColours) {
    ASSERT_EQ(start({}), 0);
    rv_DemoBuildLandscape(&d, &l, d.scene);
    // The shapes' colours as the pipe writes them at alpha 255: (c * 255) >> 8.
    const int shape[6][3] = {{128, 145, 110}, {144, 129, 110}, {146, 111, 125},
                             {130, 109, 143}, {112, 124, 147}, {108, 142, 133}};
    std::set<std::tuple<int, int, int>> allowed = {{160, 128, 96}};
    for (const auto &c : shape)
        allowed.insert({c[0] * 255 >> 8, c[1] * 255 >> 8, c[2] * 255 >> 8});
    std::set<std::tuple<int, int, int>> seen;
    for (int32_t y = 0; y < d.scene->height; ++y)
        for (int32_t x = 0; x < d.scene->width; ++x) {
            const rv_Pixel &p = d.scene->pixels[y * d.scene->pitch + x];
            seen.insert({p.red, p.green, p.blue});
            ASSERT_EQ(p.alpha, 255);
            ASSERT_EQ(p.light, 256);
        }
    EXPECT_EQ(seen, allowed);
}

TEST_F(Landscape, WaterFromLevelOneAndHazeOffAtZero) {
    ASSERT_EQ(start({"-w200", "-h150"}), 0);
    rv_DemoStopIntro(&d);
    Twin dry(d), wet(d);
    auto build = [](Twin &t, float water, float haze) {
        t.d.water_level = water;
        t.d.haze = haze;
        rv_DemoBuildLandscape(&t.d, &t.l, t.d.scene);
        rv_DemoBuildView(&t.d, &t.l);
    };
    build(dry, 0.0f, 140.0f);
    build(wet, 0.9f, 140.0f);
    EXPECT_TRUE(same(dry.d.scene, wet.d.scene));
    EXPECT_TRUE(same(dry.d.view, wet.d.view));
    build(wet, 1.0f, 140.0f);
    EXPECT_FALSE(same(dry.d.view, wet.d.view));

    // Without haze the view is the shaded copy of the scene.
    build(dry, 0.0f, 0.0f);
    Twin plain(dry.d);
    rv_CopyRect(RV_FIELD_ALL, dry.d.scene, nullptr, plain.d.view, 0, 0);
    rv_ShadeSlopes(plain.d.view, 45.0f, 0.3f);
    rv_ShadeShadows(plain.d.view, 45.0f);
    EXPECT_TRUE(same(dry.d.view, plain.d.view));
}

TEST_F(Landscape, FramesRebuildOnlyWhenDue) {
    ASSERT_EQ(start({"-w160", "-h120"}), 0);
    frame();  // first frame builds everything
    EXPECT_EQ(d.scene_dirty, 0);
    EXPECT_EQ(d.view_dirty, 0);
    EXPECT_EQ(l.frames, 1);

    // Marked pixels show which surface a frame rebuilt.
    auto mark = [](rv_Surface *s) { s->pixels[0].z = 12345; s->pixels[0].red = 1; };
    auto marked = [](const rv_Surface *s) { return s->pixels[0].z == 12345 && s->pixels[0].red == 1; };

    mark(d.scene);
    frame(0.02f);  // intro: the view is rebuilt, the landscape is not
    EXPECT_TRUE(marked(d.scene));
    EXPECT_EQ(d.view->pixels[0].z, 12345);

    rv_DemoStopIntro(&d);
    frame(0.02f);
    mark(d.view);
    frame(0.02f);  // nothing due: display only
    EXPECT_TRUE(marked(d.view));

    keys[SDLK_HOME] = 1;
    frame(0.02f);  // a terrain control rebuilds both
    keys[SDLK_HOME] = 0;
    EXPECT_FALSE(marked(d.scene));

    d.animate = 1;
    mark(d.scene);
    const double phase = d.phase;
    frame(0.5f);  // animated: built into the view with an advancing phase
    EXPECT_TRUE(marked(d.scene));
    EXPECT_EQ(d.phase, phase + 0.5f);
    EXPECT_EQ(l.frames, 6);
}

// Narrow and low windows, every display mode and the bounds of its settings:
// nothing may be touched outside a surface (checked by the sanitizers).
TEST_F(Landscape, SmallWindowsAndBoundsRunCleanly) {
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 90}, {90, 1}, {2, 2},
                                         {137, 137}, {138, 20}, {60, 300}};
    for (auto [w, h] : sizes) {
        reset();
        ASSERT_EQ(start({"-w" + std::to_string(w), "-h" + std::to_string(h)}), 0) << w << "x" << h;
        d.water_level = 255.0f;
        d.haze = 256.0f;
        for (int32_t mode = 0; mode < 4; ++mode)
            for (int32_t scale : {2, 256})
                for (float angle : {0.0f, 45.0f, 89.99f, 90.0f}) {
                    d.display_mode = mode;
                    d.display_scale = scale;
                    d.view_angle = angle;
                    d.view_dirty = 1;
                    frame();
                }
        d.animate = 1;
        frame(0.1f);
    }
}

TEST_F(Landscape, TileSizeBelowOneNeitherHangsNorEscapes) {
    for (const char *t : {"-t0", "-t-5", "-t1"}) {
        reset();
        ASSERT_EQ(start({"-w50", "-h40", t}), 0);
        frame();
        EXPECT_EQ(d.scene_dirty, 0) << t;
    }
}

}  // namespace
