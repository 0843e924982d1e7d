// Height as false colour: a 1024-step ramp black-blue-green-yellow-white,
// magenta above it.
#include "display.h"
#include "false_colours.h"
#include "screen_frame.h"
#include "display_fast.h"

using namespace relvane;

// value: the scale.
RELVANE_PLAIN_KERNEL(show_height) {
    const int32_t scale = value;
    show_pixels(surface, screen, l, first, last, [scale](const rv_Pixel &p, Rgb &c) {
        // 32-bit product with wrap-around, formed without signed overflow.
        const auto t = static_cast<int32_t>(static_cast<uint32_t>(p.z) * static_cast<uint32_t>(scale));
        FalseColour f;
        if (!height_colour(t, f)) return false;  // no ramp below 0: leave the pixel
        c = rgb(f);
        return true;
    });
}

extern "C" void rv_ShowHeight(const rv_Surface *surface, SDL_Surface *screen, int32_t scale) {
    show_screen(surface, screen, scale, fast::show_height);
}
