// Prints every value the program derives from the C library's sine, cosine
// and tangent: the tilted view's ratios, the slope and shadow passes' steps
// and the water and haze layers for view and light angles 0 to 90 in quarter
// degrees, and the random mix for 1000 phases. Built natively and for
// WebAssembly; the two outputs must be identical.
#include <cstdio>
#include <cstring>

#include "demo.h"
#include "core/angle_ratios.h"

namespace {

unsigned bits(float v) {
    unsigned u;
    std::memcpy(&u, &v, sizeof u);
    return u;
}

void print_tint(const char *name, const rv_DemoTint &t) {
    const rv_Pixel &m = t.material;
    std::printf(" %s %u %u %u %u %u %u %d", name, m.red, m.green, m.blue, m.alpha, m.light, m.z, t.depth);
}

}  // namespace

int main() {
    rv_Demo demo;
    rv_DemoLoop loop;
    rv_DemoDefaults(&demo, &loop);
    demo.water_level = 100.0f;
    for (int k = 0; k <= 360; ++k) {
        const float a = static_cast<float>(k) * 0.25f;
        const relvane::ViewSlope v = relvane::view_slope(a);
        std::printf("%.2f view %d %d rise %lld fall %lld", static_cast<double>(a), v.s, v.c,
                    static_cast<long long>(relvane::slope_rise(a)), static_cast<long long>(relvane::shadow_fall(a)));
        demo.light_angle = a;
        print_tint("water", rv_DemoWater(&demo));
        print_tint("haze", rv_DemoHaze(&demo));
        std::printf("\n");
    }
    rv_Context *c = rv_NewContext();
    if (!c) return 1;
    double phase = 0.8;
    for (int k = 0; k < 1000; ++k, phase += 0.0371) {
        const float mix = rv_DemoRandomMix(phase);
        rv_ResetRandom(c, mix);
        std::printf("phase %d mix %08x %u\n", k, bits(mix), c->random_mix);
    }
    rv_FreeContext(c);
    return 0;
}
