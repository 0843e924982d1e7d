// Height as false colour: a 1024-step ramp black-blue-green-yellow-white,
// magenta above it.
#include "display.h"
#include "screen_frame.h"
#include "render_fast.h"

using namespace relvane;

extern "C" void rv_ShowHeight(const rv_Surface *surface, SDL_Surface *screen, int32_t scale) {
    RELVANE_TRY_FAST(fast::show_height(surface, screen, scale));
    show_pixels(surface, screen, [scale](const rv_Pixel &p, Rgb &c) {
        // 32-bit product with wrap-around, formed without signed overflow.
        const auto t = static_cast<int32_t>(static_cast<uint32_t>(p.z) * static_cast<uint32_t>(scale));
        const int32_t q = t >> 12;
        if (q > 1023) {
            c = {255, 0, 255};
            return true;
        }
        if (t < 0) return false;  // no ramp below 0: leave the pixel
        const auto f = static_cast<uint8_t>(q & 255);
        const auto nf = static_cast<uint8_t>(255 - f);
        switch (q >> 8) {
        case 0: c = {0, 0, f}; break;
        case 1: c = {0, f, nf}; break;
        case 2: c = {f, 255, 0}; break;
        default: c = {255, 255, f}; break;
        }
        return true;
    });
}
