// Fast paths of the round shapes: the same rows, with each row's records
// filled by a branch-free loop that vectorises. The profiles repeat the
// plain ones step for step (same single and double roundings); the clamp to
// 0..65535 is done in floating point, which truncates to the same value and
// sends NaN to 0 as the plain conversion does.
#include <cmath>

#include "circle_scan.h"
#include "draw_fast.h"

namespace {

using relvane::PixelBits;

// The record bytes a shape leaves alone: alpha and light.
constexpr uint64_t kKeep = 0x0000FFFFFF000000u;

template <typename F>
inline uint64_t height_bits(F v) {
    v = v > F(0) ? v : F(0);
    v = v < F(65535) ? v : F(65535);
    return static_cast<uint64_t>(static_cast<uint32_t>(static_cast<int32_t>(v))) << 48;
}

// One row: colour bits rgb and z = profile(d) into n records, d the distance
// of pixel x0 + i from the centre.
template <typename Profile>
[[gnu::always_inline]] inline void fill_row(PixelBits *span, int32_t x0, int32_t n, float cx,
                                            float dy2, uint64_t rgb, Profile profile) {
    for (int32_t i = 0; i < n; ++i) {
        const float dx = static_cast<float>(x0 + i) - cx;
        const float d = std::sqrt(dx * dx + dy2);
        span[i] = (span[i] & kKeep) | rgb | profile(d);
    }
}

struct Row {
    int32_t x0, n;
    float cx, dy2;
    uint64_t rgb;
};

__attribute__((target_clones("avx2", "default")))
void flat_row(PixelBits *span, int32_t n, uint64_t bits) {
    for (int32_t i = 0; i < n; ++i) span[i] = (span[i] & kKeep) | bits;
}

__attribute__((target_clones("avx2", "default")))
void cone_row(PixelBits *span, Row row, float top, float h, float r) {
    fill_row(span, row.x0, row.n, row.cx, row.dy2, row.rgb,
             [=](float d) { return height_bits(top - (h * d) / r); });
}

__attribute__((target_clones("avx2", "default")))
void dome_row(PixelBits *span, Row row, float k, float r2, float zb) {
    fill_row(span, row.x0, row.n, row.cx, row.dy2, row.rgb, [=](float d) {
        // Outside the circle t < 0: its root is NaN, which gives 0.
        return height_bits(k * std::sqrt(r2 - d * d) + zb);
    });
}

__attribute__((target_clones("avx2", "default")))
void paraboloid_row(PixelBits *span, Row row, float r, float h, double zb) {
    fill_row(span, row.x0, row.n, row.cx, row.dy2, row.rgb, [=](float d) {
        const float q = (d * d) / r;
        const float t = ((r - q) * h) / r;
        return height_bits(static_cast<double>(t) * 256.0 + zb);
    });
}

uint64_t colour_bits(const rv_Pixel *m) {
    return uint64_t{m->red} | uint64_t{m->green} << 8 | uint64_t{m->blue} << 16;
}

// The circle's rows, each filled by row_fn(span words, row).
template <typename RowFn>
void draw(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
          float r, RowFn row_fn) {
    const uint64_t rgb = colour_bits(material);
    relvane::circle_rows(pipe, surface, cx, cy, r, [&](rv_Pixel *span, relvane::Run run, float dy2) {
        row_fn(reinterpret_cast<PixelBits *>(span), Row{run.x0, run.count, cx, dy2, rgb});
    });
}

}  // namespace

namespace relvane::fast {

bool draw_disc(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
               float r) {
    const uint64_t bits = colour_bits(material) | uint64_t{material->z} << 48;
    draw(pipe, surface, material, cx, cy, r,
         [&](PixelBits *span, Row row) { flat_row(span, row.n, bits); });
    return true;
}

bool draw_cone(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
               float r, float h) {
    const float top = static_cast<float>(material->z) + h;
    draw(pipe, surface, material, cx, cy, r,
         [&](PixelBits *span, Row row) { cone_row(span, row, top, h, r); });
    return true;
}

bool draw_dome(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
               float r, float h) {
    const float k = narrow_to_float(static_cast<double>(h) * 256.0 / static_cast<double>(r));
    const float zb = static_cast<float>(material->z);
    draw(pipe, surface, material, cx, cy, r,
         [&](PixelBits *span, Row row) { dome_row(span, row, k, r * r, zb); });
    return true;
}

bool draw_paraboloid(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx,
                     float cy, float r, float h) {
    const double zb = static_cast<double>(material->z);
    draw(pipe, surface, material, cx, cy, r,
         [&](PixelBits *span, Row row) { paraboloid_row(span, row, r, h, zb); });
    return true;
}

}  // namespace relvane::fast
