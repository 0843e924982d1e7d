// Small helpers for tests that work on surface pixels.
#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <random>
#include <vector>

#include "relvane.h"

// Equality and printing for the engine's records, so that EXPECT_EQ can
// compare them whole and show both sides when they differ.
inline bool operator==(const rv_Rect &a, const rv_Rect &b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}
inline std::ostream &operator<<(std::ostream &os, const rv_Rect &r) {
    return os << '{' << r.x << ", " << r.y << ", " << r.w << ", " << r.h << '}';
}
inline bool operator==(const rv_Pixel &a, const rv_Pixel &b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
inline std::ostream &operator<<(std::ostream &os, const rv_Pixel &p) {
    return os << "rgb " << int(p.red) << ',' << int(p.green) << ',' << int(p.blue) << " a"
              << int(p.alpha) << " l" << p.light << " z" << p.z;
}

namespace relvane_test {

inline rv_Pixel &at(rv_Surface *s, int32_t x, int32_t y) {
    return s->pixels[static_cast<ptrdiff_t>(y) * s->pitch + x];
}

inline rv_Pixel random_pixel(std::mt19937 &rng) {
    rv_Pixel p;
    p.red = static_cast<uint8_t>(rng());
    p.green = static_cast<uint8_t>(rng());
    p.blue = static_cast<uint8_t>(rng());
    p.alpha = static_cast<uint8_t>(rng());
    p.light = static_cast<uint16_t>(rng());
    p.z = static_cast<uint16_t>(rng());
    return p;
}

inline void scramble(rv_Surface *s, std::mt19937 &rng) {
    for (int32_t y = 0; y < s->height; ++y)
        for (int32_t x = 0; x < s->width; ++x) at(s, x, y) = random_pixel(rng);
}

// Row-major copy of a surface's pixels.
inline std::vector<rv_Pixel> snapshot(rv_Surface *s) {
    std::vector<rv_Pixel> v;
    for (int32_t y = 0; y < s->height; ++y)
        for (int32_t x = 0; x < s->width; ++x) v.push_back(at(s, x, y));
    return v;
}

// The field rule written pixel by pixel: fields selected by mask from src.
inline void apply_fields(uint32_t mask, rv_Pixel &dst, const rv_Pixel &src) {
    if (mask & RV_FIELD_RED) dst.red = src.red;
    if (mask & RV_FIELD_GREEN) dst.green = src.green;
    if (mask & RV_FIELD_BLUE) dst.blue = src.blue;
    if (mask & RV_FIELD_ALPHA) dst.alpha = src.alpha;
    if (mask & RV_FIELD_LIGHT) dst.light = src.light;
    if (mask & RV_FIELD_Z) dst.z = src.z;
}

// A context with one surface, released together.
struct Canvas {
    rv_Context *context = rv_NewContext();
    rv_Surface *surface;
    Canvas(int32_t w, int32_t h) : surface(rv_NewSurface(context, w, h)) {}
    ~Canvas() {
        rv_FreeSurface(surface);
        rv_FreeContext(context);
    }
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    rv_Pixel &at(int32_t x, int32_t y) { return relvane_test::at(surface, x, y); }
    void fill(const rv_Pixel &p) {
        for (int32_t y = 0; y < surface->height; ++y)
            for (int32_t x = 0; x < surface->width; ++x) at(x, y) = p;
    }
};

}  // namespace relvane_test
