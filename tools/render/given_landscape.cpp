#include "given_landscape.h"

void GivenLandscapeRow(rv_Surface *surface, int32_t y, const uint16_t *z, const uint8_t *rgb) {
    rv_Pixel *p = surface->pixels + static_cast<ptrdiff_t>(y) * surface->pitch;
    for (int32_t x = 0; x < surface->width; ++x) {
        const uint8_t *c = rgb ? rgb + 3 * static_cast<ptrdiff_t>(x) : nullptr;
        p[x] = rv_Pixel{c ? c[0] : kGivenRed, c ? c[1] : kGivenGreen, c ? c[2] : kGivenBlue, 255, 256, z[x]};
    }
}

void GivenLandscape(rv_Surface *surface, const uint16_t *z, ptrdiff_t z_pitch, const uint8_t *rgb,
                       ptrdiff_t rgb_pitch) {
    for (int32_t y = 0; y < surface->height; ++y)
        GivenLandscapeRow(surface, y, z + y * z_pitch, rgb ? rgb + y * rgb_pitch : nullptr);
}
