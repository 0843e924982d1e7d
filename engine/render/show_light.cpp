// Light field as false colour: black to green, green to yellow, then white.
#include "display.h"
#include "screen_frame.h"
#include "render_fast.h"

using namespace relvane;

extern "C" void rv_ShowLight(const rv_Surface *surface, SDL_Surface *screen) {
    RELVANE_TRY_FAST(fast::show_light(surface, screen));
    show_pixels(surface, screen, [](const rv_Pixel &p, Rgb &c) {
        const uint32_t light = p.light;
        if (light <= 255)
            c = {0, static_cast<uint8_t>(light), 0};
        else if (light <= 511)
            c = {static_cast<uint8_t>(light - 256), 255, 0};
        else
            c = {255, 255, 255};
        return true;
    });
}
