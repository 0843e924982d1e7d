// rv_BuildView: the view build's calls fused into one sweep where the sweep
// can do them exactly, and the calls themselves where it cannot.
#include "view_build.h"

#include <cstddef>
#include <cstdint>

#include "../core/angle_ratios.h"
#include "../core/float_convert.h"
#include "../draw/area.h"
#include "../draw/copy.h"
#include "shading.h"
#include "view_sweep.h"

namespace {

// The calls one after the other.
void build_by_calls(rv_Surface *view, const rv_ViewBuild &b) {
    if (b.scene) rv_CopyRect(RV_FIELD_ALL, b.scene, nullptr, view, 0, 0);
    if (b.relight) {
        rv_Pixel p{};
        p.light = b.light;
        rv_FillRect(RV_FIELD_LIGHT, view, nullptr, &p);
    }
    if (b.slopes) rv_ShadeSlopes(view, b.slope_elevation, b.ambient);
    if (b.shadows) rv_ShadeShadows(view, b.shadow_elevation);
    if (b.water) rv_ApplyWater(view, nullptr, &b.water_pixel, b.water_depth);
    if (b.haze) rv_ApplyWater(view, nullptr, &b.haze_pixel, b.haze_depth);
}

bool shares_memory(const rv_Surface *a, const rv_Surface *b) {
    const auto first = [](const rv_Surface *s) { return reinterpret_cast<uintptr_t>(s->pixels); };
    const auto end = [](const rv_Surface *s) {
        return reinterpret_cast<uintptr_t>(s->pixels + static_cast<ptrdiff_t>(s->height - 1) * s->pitch + s->width);
    };
    return first(a) < end(b) && first(b) < end(a);
}

}  // namespace

extern "C" void rv_BuildView(rv_Surface *view, const rv_ViewBuild *build) {
    if (!view || !build || view->width < 1 || view->height < 1) return;
    const rv_ViewBuild &b = *build;
    relvane::ViewSweep s;
    s.view = view;
    if (b.scene) {
        if (b.scene->width != view->width || b.scene->height != view->height || shares_memory(b.scene, view))
            return build_by_calls(view, b);
        s.source = b.scene;
    }
    s.relight = b.relight != 0;
    s.light = b.light;
    s.slopes = b.slopes && view->width >= 2 && view->height >= 2;
    if (s.slopes) {
        s.rise = static_cast<int32_t>(relvane::slope_rise(b.slope_elevation));
        s.floor = relvane::trunc_to_i32(static_cast<double>(b.ambient) * 256.0);
    }
    if (b.shadows && b.shadow_elevation < 90.0f) {
        const int64_t fall = relvane::shadow_fall(b.shadow_elevation);
        if (fall > 0) return build_by_calls(view, b);  // a rising line: the diagonals walked one by one
        s.shadows = fall > -65536;                     // else nothing is shadowed
        s.fall = static_cast<int32_t>(fall);
    }
    s.water = b.water != 0;
    if (s.water) s.water_values = relvane::water_values(b.water_pixel, b.water_depth);
    s.haze = b.haze != 0;
    if (s.haze) s.haze_values = relvane::water_values(b.haze_pixel, b.haze_depth);
    if (!relvane::sweep_view(s)) build_by_calls(view, b);
}
