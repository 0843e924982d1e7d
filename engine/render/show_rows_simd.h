// The frame of the display fast paths for 3-byte screens: a pixel's three
// channels are packed into one word at their byte positions and stored as
// three bytes.
#pragma once

#include <immintrin.h>

#include "render_fast.h"
#include "screen_frame.h"

namespace relvane::fast {

// Where the channels go: shifts 0, 8 and 16 in some order.
struct Shifts {
    uint32_t r, g, b;
    uint32_t pack(uint32_t red, uint32_t green, uint32_t blue) const {
        return red << r | green << g | blue << b;
    }
};

// The byte shuffle that turns the four 32-bit pixels of a 16-byte lane, red
// in the low byte, into 12 screen bytes in the order of s; the same for both
// lanes of a 256-bit vector.
void screen_order(Shifts s, uint8_t order[32]);

#if defined(__x86_64__)
// Stores eight 32-bit pixels as 24 screen bytes through a shuffle from
// screen_order.
__attribute__((target("avx2"))) inline void put_eight(__m256i pixels, __m256i order, uint8_t *dst) {
    const __m256i bytes =
        _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, order), _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm256_castsi256_si128(bytes));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(dst + 16), _mm256_extracti128_si256(bytes, 1));
}
#endif

// Writes n packed pixels as 3-byte pixels; a value with any of its top 8
// bits set leaves its screen pixel as it was.
void put_pixels(const uint32_t *packed, uint8_t *dst, int32_t n);

// Converts one row; colour(rgba word, light/z word, shifts, keep) returns the
// packed value and sets keep to leave the screen pixel as it was. The colours
// are worked out a chunk at a time into words (which vectorises), then
// spread into bytes.
template <typename Colour>
[[gnu::always_inline]] inline void show_row(const PixelWord *__restrict src, uint8_t *__restrict dst,
                                            int32_t n, Shifts s, Colour colour) {
    constexpr int32_t chunk = 128;
    uint32_t packed[chunk];
    for (int32_t x0 = 0; x0 < n; x0 += chunk) {
        const int32_t m = std::min(chunk, n - x0);
        const PixelWord *from = src + 2 * x0;
        for (int32_t i = 0; i < m; ++i) {
            bool keep = false;
            const uint32_t v = colour(from[2 * i], from[2 * i + 1], s, keep);
            packed[i] = keep ? 0xFF000000u : v;
        }
        put_pixels(packed, dst + 3 * x0, m);
    }
}

// Locks the screen and runs row(y, screen row, width, shifts) over the shown
// rows. Declines (before locking) a screen that is not 3 bytes per pixel with
// three distinct channel bytes.
template <typename Row>
bool show_screen_rows(const rv_Surface *surface, SDL_Surface *screen, Row row) {
    ScreenLayout c;
    if (!screen_channels(screen->format, c) || c.bytes != 3) return false;
    const ScreenLock lock(screen);
    const ScreenLayout l = screen_layout(screen, surface);
    const Shifts s{static_cast<uint32_t>(l.r * 8), static_cast<uint32_t>(l.g * 8), static_cast<uint32_t>(l.b * 8)};
    for (int32_t y = 0; y < l.h; ++y) row(y, screen_row(screen, y), l.w, s);
    return true;
}

inline const PixelWord *surface_words(const rv_Surface *surface, int32_t y) {
    return reinterpret_cast<const PixelWord *>(surface_row(surface, y));
}

// The same for functions that show surface row y on screen row y: row(source
// words, screen row, width, shifts).
template <typename Row>
bool show_rows(const rv_Surface *surface, SDL_Surface *screen, Row row) {
    return show_screen_rows(surface, screen, [surface, row](int32_t y, uint8_t *dst, int32_t w, Shifts s) {
        row(surface_words(surface, y), dst, w, s);
    });
}

}  // namespace relvane::fast
