// The landscape from given heights and colours, in place of the built one:
// what --terrain and --colours make, and what any other caller holding the
// fields as plain rows makes the same way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "relvane.h"

// The base colour a given landscape has where no colours are given.
constexpr uint8_t kGivenRed = 160, kGivenGreen = 128, kGivenBlue = 96;

// Row y of the surface from width heights (z, 1/256 units) and, unless rgb
// is null, width red-green-blue triples; without them the base colour.
// Alpha becomes 255 and light 256 (unity).
void GivenLandscapeRow(rv_Surface *surface, int32_t y, const uint16_t *z, const uint8_t *rgb);

// The whole surface from rows of heights (z_pitch elements apart) and, unless
// rgb is null, rows of triples (rgb_pitch bytes apart). The view build,
// displays and files then work on it as on a built landscape; no fill,
// terrain, shapes or flooding is applied.
void GivenLandscape(rv_Surface *surface, const uint16_t *z, ptrdiff_t z_pitch, const uint8_t *rgb,
                       ptrdiff_t rgb_pitch);
