// Fast path of rv_ShowHeight for 3-byte screens.
#include "show_rows_simd.h"

namespace {

using namespace relvane::fast;
using relvane::PixelWord;

// The ramp's four segments as clamped straight lines of the index q.
inline uint32_t ramp(int32_t q, Shifts sh) {
    const int32_t i = std::clamp(q, 0, 1023);
    const int32_t red = std::clamp(i - 512, 0, 255);
    const int32_t green = std::clamp(i - 256, 0, 255);
    const int32_t blue = std::max(std::max(std::min(i, 511 - i), 0), i - 768);
    return q > 1023 ? sh.pack(255, 0, 255)
                    : sh.pack(static_cast<uint32_t>(red), static_cast<uint32_t>(green), static_cast<uint32_t>(blue));
}

// Scales of 0 to 32768 keep every product positive and within 32 bits.
__attribute__((target_clones("avx2", "default")))
void height_row_positive(const PixelWord *src, uint8_t *dst, int32_t w, Shifts s, int32_t scale) {
    show_row(src, dst, w, s, [scale](uint32_t, uint32_t lz, Shifts sh, bool &) {
        return ramp(static_cast<int32_t>(lz >> 16) * scale >> 12, sh);
    });
}

__attribute__((target_clones("avx2", "default")))
void height_row(const PixelWord *src, uint8_t *dst, int32_t w, Shifts s, uint32_t scale) {
    show_row(src, dst, w, s, [scale](uint32_t, uint32_t lz, Shifts sh, bool &keep) {
        const auto t = static_cast<int32_t>((lz >> 16) * scale);
        keep = t < 0;
        return ramp(t >> 12, sh);
    });
}

}  // namespace

namespace relvane::fast {

bool show_height(const rv_Surface *surface, SDL_Surface *screen, int32_t scale) {
    return show_rows(surface, screen, [scale](const PixelWord *src, uint8_t *dst, int32_t w, Shifts s) {
        if (scale >= 0 && scale <= 32768)
            height_row_positive(src, dst, w, s, scale);
        else
            height_row(src, dst, w, s, static_cast<uint32_t>(scale));
    });
}

}  // namespace relvane::fast
