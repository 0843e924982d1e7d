// Height profiles: every n-th surface row drawn as a filled green graph in a
// band of n screen rows, with a blue middle line and a red foot line.
#include "display.h"
#include "false_colours.h"
#include "screen_frame.h"
#include "display_fast.h"

using namespace relvane;

namespace {
// Bands need n >= 1, and n * 65535 must fit 32 signed bits.
constexpr int32_t max_rows_per_band = 32768;
}  // namespace

// value: the rows per band.
RELVANE_PLAIN_KERNEL(show_profiles) {
    const int32_t n = std::clamp<int32_t>(value, 1, max_rows_per_band);
    show_frame(screen, l, first, last, [surface, n](int32_t y) {
        const int32_t top = y / n * n;  // the band's first row, also its surface row
        const int32_t k = y - top;
        const uint8_t red = k == n - 1 ? 255 : 0;
        const uint8_t blue = k == n / 2 ? 255 : 0;
        auto colour = [n, k, red, blue](const rv_Pixel &p, Rgb &c) {
            const auto green = static_cast<uint8_t>(relvane::profile_green(p.z, n, k));
            c = {red, green, blue};
            return true;
        };
        return std::pair(surface_row(surface, top), colour);
    });
}

extern "C" void rv_ShowProfiles(const rv_Surface *surface, SDL_Surface *screen, int32_t rows) {
    show_screen(surface, screen, rows, fast::show_profiles);
}
