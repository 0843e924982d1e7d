// Light field as false colour: black to green, green to yellow, then white.
#include "display.h"
#include "false_colours.h"
#include "screen_frame.h"
#include "display_fast.h"

using namespace relvane;

extern "C" void rv_ShowLight(const rv_Surface *surface, SDL_Surface *screen) {
    if (fast::show_light(surface, screen)) return;
    show_pixels(surface, screen, [](const rv_Pixel &p, Rgb &c) {
        c = rgb(light_colour(p.light));
        return true;
    });
}
