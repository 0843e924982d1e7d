// Light field as false colour: black to green, green to yellow, then white.
#include "display.h"
#include "false_colours.h"
#include "screen_frame.h"
#include "display_fast.h"

using namespace relvane;

RELVANE_PLAIN_KERNEL(show_light) {
    (void)value;
    show_pixels(surface, screen, l, first, last, [](const rv_Pixel &p, Rgb &c) {
        c = rgb(light_colour(p.light));
        return true;
    });
}

extern "C" void rv_ShowLight(const rv_Surface *surface, SDL_Surface *screen) {
    show_screen(surface, screen, 0, fast::show_light);
}
