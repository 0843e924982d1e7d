#include "bench_landscape.h"

#include <algorithm>

#include "bench_support.h"

namespace bench {

Landscape::Landscape(int32_t width, int32_t height) {
    rv_DemoDefaults(&demo, &loop);
    screen = new_screen(width, height);
    demo.screen = screen;
    demo.threads = threads;
    rv_DemoCreateObjects(&demo, &loop);
    demo.intro = 0;
    demo.view_angle = 90.0f;
    demo.light_angle = 45.0f;
    demo.water_level = 100.0f;
    context = loop.context;
    scene = demo.scene;
    view = demo.view;
    pipe = demo.pipe;
    build_landscape(scene);
    build_view(false);
    built_view.assign(view->pixels, view->pixels + size_t(width) * size_t(height));
}

Landscape::~Landscape() {
    rv_DemoRelease(&demo, &loop);
    SDL_FreeSurface(screen);
}

void Landscape::build_landscape(rv_Surface *target, bool with_shapes) {
    demo.shapes = with_shapes;
    rv_DemoBuildLandscape(&demo, &loop, target);
}

void Landscape::draw_shapes(rv_Surface *target) { rv_DemoDrawShapes(&demo, &loop, target); }

void Landscape::build_view(bool animated) {
    demo.animate = animated;
    rv_DemoBuildView(&demo, &loop);
}

void Landscape::restore_view() {
    std::copy(built_view.begin(), built_view.end(), view->pixels);
}

}  // namespace bench
