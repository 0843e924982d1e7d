// The frame of the display fast paths for 3- and 4-byte screens: which screens they
// take, the rows they show, and the tables of the shared screen store
// (screen_store-inl.h). Pixels are worked out as packed words, red in the
// low byte, green and blue above it; the store puts the channels in the
// screen's byte order.
#pragma once

#include <cstdint>
#include <cstring>

#include "display_fast.h"
#include "screen_frame.h"

namespace relvane::fast {

// The byte shuffle from packed words to screen bytes, for each 16-byte block
// of four words: twelve screen bytes, then four spare ones.
struct ScreenOrder {
    uint8_t bytes[16];
};

inline ScreenOrder screen_order(const ScreenLayout &l) {
    ScreenOrder o{};
    for (int32_t i = 0; i < 16; ++i) {
        const int32_t pixel = i / 3, byte = i % 3;
        const int32_t channel = l.r == byte ? 0 : l.g == byte ? 1 : 2;
        o.bytes[i] = static_cast<uint8_t>(i < 12 ? 4 * pixel + channel : 15);
    }
    return o;
}

// One packed pixel (no flag in the top byte) stored by the layout.
inline void put_packed(uint8_t *dst, const ScreenLayout &l, uint32_t v) {
    dst[l.r] = static_cast<uint8_t>(v);
    dst[l.g] = static_cast<uint8_t>(v >> 8);
    dst[l.b] = static_cast<uint8_t>(v >> 16);
}

inline uint32_t pack(uint32_t red, uint32_t green, uint32_t blue) { return red | green << 8 | blue << 16; }

// The screens the vector stores take: 3 or 4 bytes per pixel (the layout's
// channel bytes are distinct); the layout's byte indices say where each
// channel goes. The others take the plain kernel.
inline bool vector_screen(const ScreenLayout &l) { return l.bytes == 3 || l.bytes == 4; }

// Runs row(y, screen row, width, layout) over screen rows [first, last).
template <typename Row>
void show_screen_rows(SDL_Surface *screen, const ScreenLayout &layout, int32_t first, int32_t last, Row row) {
    for (int32_t y = first; y < last; ++y) row(y, screen_row(screen, y), layout.w, layout);
}

// The same for displays that show surface row y on screen row y: row(source
// row, screen row, width, layout).
template <typename Row>
void show_rows(const rv_Surface *surface, SDL_Surface *screen, const ScreenLayout &layout, int32_t first,
               int32_t last, Row row) {
    show_screen_rows(screen, layout, first, last, [surface, row](int32_t y, uint8_t *dst, int32_t w, const ScreenLayout &l) {
        row(surface_row(surface, y), dst, w, l);
    });
}

}  // namespace relvane::fast
