// Lit colour view: each channel times light, saturating.
#include "display.h"
#include "screen_frame.h"
#include "display_fast.h"

using namespace relvane;

RELVANE_PLAIN_KERNEL(show_colour) {
    (void)value;
    show_pixels(surface, screen, l, first, last, [](const rv_Pixel &p, Rgb &c) {
        c = lit_colour(p);
        return true;
    });
}

extern "C" void rv_ShowColour(const rv_Surface *surface, SDL_Surface *screen) {
    show_screen(surface, screen, 0, fast::show_colour);
}
