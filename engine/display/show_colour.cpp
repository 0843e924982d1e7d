// Lit colour view: each channel times light, saturating.
#include "display.h"
#include "screen_frame.h"
#include "display_fast.h"

using namespace relvane;

extern "C" void rv_ShowColour(const rv_Surface *surface, SDL_Surface *screen) {
    if (fast::show_colour(surface, screen)) return;
    show_pixels(surface, screen, [](const rv_Pixel &p, Rgb &c) {
        c = lit_colour(p);
        return true;
    });
}
