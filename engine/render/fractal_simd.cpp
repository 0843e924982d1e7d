// Fast path of rv_Fractal: the same walk, with each level's division by the
// random divisor done as an exact multiplication.
#include <algorithm>

#include "../core/divide_exact.h"
#include "../core/fast_path.h"
#include "../core/random_draw.h"
#include "fractal_walk.h"

namespace {

using namespace relvane;

struct ExactDisplace {
    rv_Context *context;
    int32_t a;
    ExactDivisor divisor;

    ExactDisplace(rv_Context *c, int32_t amplitude)
        : context(c), a(amplitude), divisor(exact_divisor(random_divisor(static_cast<uint32_t>(2 * a)))) {}

    uint16_t operator()(int64_t v) const {
        const RandomOutputs r = random_advance(context);
        // A range of 0 draws 0, as the plain generator does.
        const uint32_t draw =
            a == 0 ? 0 : random_blend_by(r, [this](uint32_t x) { return divide(x, divisor); }, context->random_mix);
        return static_cast<uint16_t>(std::clamp<int64_t>(v + static_cast<int64_t>(draw) - a, 0, 65535));
    }
};

}  // namespace

namespace relvane::fast {

bool fractal(rv_Surface *surface, int32_t step, float base, float amplitude, float roughness) {
    rv_Context *c = surface->context;
    fractal::walk(surface, step, base, amplitude, roughness,
                  [c](int32_t a) { return ExactDisplace(c, a); });
    return true;
}

}  // namespace relvane::fast
