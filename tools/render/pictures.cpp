#include "pictures.h"

#include <cstddef>

namespace {

void fill_screen_row(const void *source, int32_t y, uint8_t *row) {
    const auto *s = static_cast<const SDL_Surface *>(source);
    const SDL_PixelFormat *f = s->format;
    const int bpp = f->BytesPerPixel, r = f->Rshift / 8, g = f->Gshift / 8, b = f->Bshift / 8;
    const uint8_t *p = static_cast<const uint8_t *>(s->pixels) + static_cast<ptrdiff_t>(y) * s->pitch;
    for (int32_t x = 0; x < s->w; ++x, p += bpp, row += 3) {
        row[0] = p[r];
        row[1] = p[g];
        row[2] = p[b];
    }
}

// Heights of one surface row, big-endian as PNG stores 16-bit samples.
void fill_height_row(const void *source, int32_t y, uint8_t *row) {
    const auto *s = static_cast<const rv_Surface *>(source);
    const rv_Pixel *p = s->pixels + static_cast<ptrdiff_t>(y) * s->pitch;
    for (int32_t x = 0; x < s->width; ++x, row += 2) {
        row[0] = static_cast<uint8_t>(p[x].z >> 8);
        row[1] = static_cast<uint8_t>(p[x].z);
    }
}

void fill_colour_row(const void *source, int32_t y, uint8_t *row) {
    const auto *s = static_cast<const rv_Surface *>(source);
    const rv_Pixel *p = s->pixels + static_cast<ptrdiff_t>(y) * s->pitch;
    for (int32_t x = 0; x < s->width; ++x, row += 3) {
        row[0] = p[x].red;
        row[1] = p[x].green;
        row[2] = p[x].blue;
    }
}

}  // namespace

PngPicture ScreenPicture(const SDL_Surface *screen) {
    return {screen->w, screen->h, false, fill_screen_row, screen};
}

PngPicture HeightPicture(const rv_Surface *surface) {
    return {surface->width, surface->height, true, fill_height_row, surface};
}

PngPicture ColourPicture(const rv_Surface *surface) {
    return {surface->width, surface->height, false, fill_colour_row, surface};
}
