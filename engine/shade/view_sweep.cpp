// The view sweep: workers own bands of whole diagonals and walk them row by
// row; each run of a row goes through every pass before the next.
#include "view_sweep.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "view_rows.h"
#include "../core/surface_rows.h"
#include "../core/threads.h"

namespace relvane {
namespace {

// Pixels per run through every pass: a few kilobytes, which stay in the
// first-level cache from the first pass to the last.
constexpr int32_t kRun = 512;
constexpr int64_t kMaxWorkers = 256;

int64_t diagonal_length(int64_t k, int64_t w, int64_t h) {
    return k >= 0 ? std::min(w - k, h) : std::min(w, h + k);
}

struct Sweep {
    const ViewSweep &s;
    const ViewRun run;
    int32_t w, h;
    const rv_Surface *heights;  // the source when copying: the view's heights to be
    int32_t *lines;             // one shadow line per diagonal k, at k + h - 1
};

// A pixel on the edge of a worker's band, where the next band's worker
// reads its height: read and written field by field, by the plain kernels.
void edge_pixel(const Sweep &c, int32_t x, int32_t y, int32_t *line) {
    const ViewSweep &s = c.s;
    const ViewRows &plain = plain_view_rows;
    rv_Pixel *out = surface_pixel(s.view, x, y);
    rv_Pixel p = s.source ? *surface_pixel(s.source, x, y) : *out;
    if (s.relight) p.light = s.light;
    if (s.slopes && x < c.w - 1 && y < c.h - 1)
        plain.slopes(&p, surface_pixel(c.heights, x, y), surface_pixel(c.heights, x, y + 1), 1, s.rise,
                     s.floor);
    if (s.shadows) plain.shadows(&p, line, 1, s.fall);
    if (s.water) plain.water(&p, 1, s.water_values);
    if (s.haze) plain.water(&p, 1, s.haze_values);
    if (s.source) {
        *out = p;
    } else {
        out->red = p.red;
        out->green = p.green;
        out->blue = p.blue;
        out->light = p.light;
    }
}

// The run after this one, to fetch ahead.
struct Next {
    int32_t x, y, n;
};

// Pixels [a, b) of row y through every pass; line: the shadow line of a.
void run(const Sweep &c, int32_t a, int32_t b, Next next, int32_t y, int32_t *line) {
    const ViewSweep &s = c.s;
    rv_Pixel *out = surface_pixel(s.view, a, y);
    const int32_t n = b - a;
    // When copying, the next run's pixels start on their way from memory
    // while this one is worked on (in place, the processor's own prefetch
    // keeps up).
    if (s.source && next.y < c.h) {
        const rv_Pixel *from = surface_pixel(s.source, next.x, next.y);
        const rv_Pixel *below = next.y + 1 < c.h ? surface_pixel(c.heights, next.x, next.y + 1) : nullptr;
        rv_Pixel *to = surface_pixel(s.view, next.x, next.y);
        // (a row's heights from below are the next row's pixels when copying)
        const rv_Pixel *ahead = below ? below : from;
        for (int32_t i = 0; i < next.n; i += 8) {
            __builtin_prefetch(ahead + i, 0);
            __builtin_prefetch(to + i, 1);
        }
    }
    const bool below = s.slopes && y < c.h - 1;
    // (the last column keeps its light)
    const int32_t lit = below ? std::max(0, std::min(b, c.w - 1) - a) : 0;
    c.run(out, s.source ? surface_pixel(s.source, a, y) : out, below ? surface_pixel(c.heights, a, y + 1) : nullptr,
          line, n, lit, s);
}

// The diagonals [k_lo, k_hi), row by row. A diagonal's line starts at its
// first pixel's height (column 0 or row 0).
void walk(const Sweep &c, int64_t k_lo, int64_t k_hi) {
    const int64_t w = c.w, h = c.h;
    const bool after_another = k_lo > -(h - 1), before_another = k_hi < w;
    const int64_t y_end = std::min(h, w - k_lo);
    for (int64_t y = std::max<int64_t>(0, 1 - k_hi); y < y_end; ++y) {
        const auto xs = static_cast<int32_t>(std::max<int64_t>(0, k_lo + y));
        const auto xe = static_cast<int32_t>(std::min(w, k_hi + y));
        if (xs >= xe) continue;
        const auto row = static_cast<int32_t>(y);
        int32_t *line = c.lines ? c.lines + (h - 1 + xs - y) : nullptr;  // the line of xs
        if (line) {
            const rv_Pixel *z = surface_row(c.heights, row);
            if (row == 0)
                for (int32_t x = xs; x < xe; ++x) line[x - xs] = z[x].z;
            else if (xs == 0)
                line[0] = z[0].z;
        }
        int32_t a = xs, b = xe;
        // Next to another band: the other worker reads these heights.
        if (after_another && k_lo + y >= 0) edge_pixel(c, a++, row, line);
        if (before_another && k_hi + y <= w && b > a) {
            --b;
            edge_pixel(c, b, row, line ? line + (b - xs) : nullptr);
        }
        // (the next row starts one column further right)
        const auto next_a = static_cast<int32_t>(std::clamp<int64_t>(k_lo + y + 1, 0, w - 1));
        const Next next_row{next_a, row + 1,
                            std::min(kRun, static_cast<int32_t>(std::min(w, k_hi + y + 1)) - next_a)};
        for (int32_t x = a; x < b; x += kRun) {
            const int32_t end = std::min(b, x + kRun);
            const Next next = end < b ? Next{end, row, std::min(kRun, b - end)} : next_row;
            run(c, x, end, next, row, line ? line + (x - xs) : nullptr);
        }
    }
}

}  // namespace

bool sweep_view(const ViewSweep &s) {
    const int64_t w = s.view->width, h = s.view->height;
    if (w < 1 || h < 1) return true;
    std::unique_ptr<int32_t[]> lines;
    if (s.shadows) {
        lines.reset(new (std::nothrow) int32_t[static_cast<size_t>(w + h - 1)]);
        if (!lines) return false;
    }
    const Sweep c{s, view_run(), static_cast<int32_t>(w),
                  static_cast<int32_t>(h), s.source ? s.source : s.view, lines.get()};

    // Bands of whole diagonals with about the same number of pixels each.
    const int64_t pixels = w * h;
    const int64_t workers = std::clamp<int64_t>(
        std::min<int64_t>(threads_of(s.view->context), pixels / std::max<int64_t>(pixels_worth_a_thread, 1)), 1, kMaxWorkers);
    std::array<int64_t, kMaxWorkers + 1> cut{};
    cut[0] = -(h - 1);
    cut[static_cast<size_t>(workers)] = w;
    int64_t k = cut[0], covered = 0;
    for (int64_t j = 1; j < workers; ++j) {
        while (k < w && covered < pixels * j / workers) covered += diagonal_length(k++, w, h);
        cut[static_cast<size_t>(j)] = k;
    }
    parallel_chunks(s.view->context, workers, 1, [&](int64_t first, int64_t last) {
        for (int64_t j = first; j < last; ++j)
            if (cut[static_cast<size_t>(j)] < cut[static_cast<size_t>(j + 1)])
                walk(c, cut[static_cast<size_t>(j)], cut[static_cast<size_t>(j + 1)]);
    });
    return true;
}

}  // namespace relvane
