// Fast path of rv_ShadeShadows. Instead of walking each diagonal to its
// end, it walks the surface row by row, carrying the shadow line of every
// diagonal from one row to the next: pixel (x, y) continues the diagonal
// of (x - 1, y - 1). Memory is read in order and a row's pixels, each on a
// diagonal of its own, vectorise. The two carried rows of shadow lines live
// in the context's work span.
#include "../core/fast_path.h"
#include "../core/surface_rows.h"

namespace {

using relvane::PixelWord;

// n / d for 0 <= n < 2^29 and 0 < d < 2^17: the single-precision quotient is
// within one of the true one, and one correction step makes it exact.
inline int32_t quotient(int32_t n, int32_t d) {
    int32_t q = static_cast<int32_t>(static_cast<float>(n) / static_cast<float>(d));
    const int32_t r = n - q * d;
    q += (r >= d) - (r < 0);
    return q;
}

// One row after the first. prev holds the shadow lines left by row y - 1,
// cur receives those of row y. A falling line (fall <= 0) lights the first
// pixel of every diagonal, the one in column 0. Both quotients are formed
// for every pixel and the lit ones keep their light by mask, which keeps the
// loop free of branches.
__attribute__((target_clones("avx2", "default")))
void shadow_row(PixelWord *__restrict row, const int32_t *__restrict prev, int32_t *__restrict cur,
                int32_t n, int32_t fall) {
    cur[0] = static_cast<int32_t>(row[1] >> 16);
    for (int32_t x = 1; x < n; ++x) {
        const uint32_t word = row[2 * x + 1];
        const auto z = static_cast<int32_t>(word >> 16);
        const int32_t line = prev[x - 1] + fall;
        const int32_t lit = -static_cast<int32_t>(z >= line);  // all ones when lit
        cur[x] = (z & lit) | (line & ~lit);
        // Depth below the line, 1..65535 where it counts; the difference
        // wraps (unsigned) where a steep line lies far below.
        const auto depth = static_cast<int32_t>(static_cast<uint32_t>(line) - static_cast<uint32_t>(z));
        const int32_t e = (1 & lit) | (depth & ~lit);
        const auto light = static_cast<int32_t>(word & 0xFFFFu);
        const int32_t dark = (quotient(light * 8192, e + 8192) + quotient(light * 128, e + 128)) >> 1;
        row[2 * x + 1] = (word & 0xFFFF0000u) | static_cast<uint32_t>((light & lit) | (dark & ~lit));
    }
}

}  // namespace

namespace relvane::fast {

// fall: how far the shadow line drops per diagonal step. A rising line
// (fall > 0) can climb without bound and stays with the plain code, as does a
// surface wider than the context's work span.
bool shade_shadows(rv_Surface *surface, int64_t fall) {
    const int32_t w = surface->width, h = surface->height;
    if (fall > 0 || fall < INT32_MIN || w > surface->context->span_size) return false;
    auto *lines = reinterpret_cast<int32_t *>(surface->context->work_span);
    int32_t *prev = lines, *cur = lines + w;
    // Row 0 starts a diagonal in every column: all lit.
    const auto *top = reinterpret_cast<const PixelWord *>(surface_row(surface, 0));
    for (int32_t x = 0; x < w; ++x) prev[x] = static_cast<int32_t>(top[2 * x + 1] >> 16);
    for (int32_t y = 1; y < h; ++y) {
        shadow_row(reinterpret_cast<PixelWord *>(surface_row(surface, y)), prev, cur, w,
                   static_cast<int32_t>(fall));
        int32_t *t = prev;
        prev = cur;
        cur = t;
    }
    return true;
}

}  // namespace relvane::fast
