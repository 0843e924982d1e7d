// Tilted view: the surface's rows drawn as terrain slices from near (bottom)
// to far (top) under an elevation angle, with a per-column top buffer, edge
// blending and a sky above the terrain.
#include <cmath>
#include <cstring>
#include <numbers>

#include "display_fast.h"
#include "../core/float_convert.h"
#include "../core/threads.h"
#include "../core/angle_ratios.h"
#include "display.h"
#include "screen_frame.h"
#include "show_tilted.h"

using namespace relvane;

namespace {

// Screen positions are 1/256 rows in 32 signed bits; taller screens are cut.
constexpr int32_t max_rows = INT32_MAX / 256;

// Topmost position drawn per column: 32-bit integers in host order over the
// first bytes of the surface's last row.
class TopBuffer {
public:
    explicit TopBuffer(rv_Pixel *row) : bytes_(reinterpret_cast<unsigned char *>(row)) {}
    int32_t get(int32_t x) const {
        int32_t v;
        std::memcpy(&v, bytes_ + static_cast<ptrdiff_t>(x) * 4, sizeof v);
        return v;
    }
    void set(int32_t x, int32_t v) { std::memcpy(bytes_ + static_cast<ptrdiff_t>(x) * 4, &v, sizeof v); }

private:
    unsigned char *bytes_;
};

// Mixes `over` into the screen pixel with weight f of 255.
void blend(uint8_t *d, const ScreenLayout &l, Rgb over, int32_t f) {
    const Rgb under = get_rgb(d, l);
    const auto w = static_cast<uint32_t>(f);
    auto mix = [w](uint8_t a, uint8_t b) {
        return static_cast<uint8_t>(plain::edge_mix<uint32_t>(a, b, w, 255 - w));
    };
    put_rgb(d, l, {mix(over.r, under.r), mix(over.g, under.g), mix(over.b, under.b)});
}

// Paints rows first..end-1 of one screen column.
void fill_column(uint8_t *d, int32_t pitch, int32_t first, int32_t end, const ScreenLayout &l, Rgb c) {
    d += static_cast<ptrdiff_t>(first) * pitch;
    for (int32_t y = first; y < end; ++y, d += pitch) put_rgb(d, l, c);
}

}  // namespace

void relvane::tilted_front(rv_Surface *surface, int32_t h, int32_t w) {
    const int32_t nr = tilted_nearest(surface, h);
    if (nr < 0) return;
    rv_Pixel *front = surface_row(surface, nr);
    for (int32_t x = 0; x < w; ++x) front[x].light = 0;
}

RELVANE_PLAIN_KERNEL(show_tilted) {
    const int32_t x_begin = first, x_end = last;
    const int32_t pitch = screen->pitch;
    uint8_t *const column0 = screen_row(screen, 0);
    auto column = [&](int32_t x) { return column0 + static_cast<ptrdiff_t>(x) * l.bytes; };

    TopBuffer tops(surface_row(surface, surface->height - 1));
    for (int32_t x = x_begin; x < x_end; ++x) tops.set(x, h * 256);

    const int32_t nr = tilted_nearest(surface, h);
    const int32_t bottom = (h - 1) * 256;
    const auto c = static_cast<uint32_t>(cosine);
    uint32_t offset = 0;  // j * S, wrapping
    for (int32_t j = 0; j <= nr; ++j, offset += static_cast<uint32_t>(sine)) {
        const rv_Pixel *row = surface_row(surface, nr - j);
        for (int32_t x = x_begin; x < x_end; ++x) {
            const uint32_t rise = (offset + ((c * row[x].z) >> 8)) >> 8;  // below 2^24
            int32_t top = bottom - static_cast<int32_t>(rise);
            const int32_t old = tops.get(x);
            if (top >= old) continue;
            top = std::max(top, 0);
            const Rgb lit = lit_colour(row[x]);
            uint8_t *d = column(x);
            fill_column(d, pitch, top >> 8, old >> 8, l, lit);
            if ((old >> 8) <= h - 2) blend(d + static_cast<ptrdiff_t>(old >> 8) * pitch, l, lit, old & 255);
            tops.set(x, top);
        }
    }

    for (int32_t x = x_begin; x < x_end; ++x) {
        const int32_t t = tops.get(x);
        uint8_t *d = column(x);
        fill_column(d, pitch, 0, t >> 8, l, tilted_sky);
        if ((t >> 8) <= h - 2) blend(d + static_cast<ptrdiff_t>(t >> 8) * pitch, l, tilted_sky, t & 255);
    }
}

extern "C" void rv_ShowTilted(rv_Surface *surface, SDL_Surface *screen, float angle) {
    const ViewSlope v = view_slope(angle);
    const ScreenLock lock(screen);
    const ScreenLayout l = screen_layout(screen, surface);
    const int32_t w = l.w;
    const int32_t h = std::min(l.h, max_rows);
    if (w <= 0 || h <= 0) return;
    tilted_front(surface, h, w);
    // Columns are drawn whole and apart from each other.
    parallel_columns(surface->context, w, h, [&](int64_t first, int64_t last) {
        fast::show_tilted(surface, screen, l, h, v.s, v.c, static_cast<int32_t>(first), static_cast<int32_t>(last));
    });
}
