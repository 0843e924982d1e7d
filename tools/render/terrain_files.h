// --terrain and --colours as inputs: the files opened and checked before
// anything is allocated, then decoded row by row into the landscape.
#pragma once

#include <string>

#include "png_read.h"
#include "relvane.h"
#include "render_options.h"

// Largest surfaces a file may ask for: sides and pixels.
constexpr int32_t kTerrainMaxSide = 65536;
constexpr int64_t kTerrainMaxPixels = int64_t{1} << 30;

struct TerrainFiles {
    PngReader heights;
    PngReader colours;  // open when --colours is given with --terrain
};

// Opens the files and checks their types and sizes, and that the picture
// the sizes give fits (W - 1 by H - 1 unless -w or -h is given). Returns 0,
// 1 (a file the system cannot read) or 2 (a file of the wrong kind or
// size), with the message in *error. Close the files in either case.
int TerrainOpen(TerrainFiles *files, const RenderOptions &options, std::string *error);

// Decodes every row into surface (the files' size): z from the heights
// (8-bit grey times 256, 16-bit grey as it is), colours from the colour
// map or the base colour. Returns 0, 1 or 2 with *error.
int TerrainRead(TerrainFiles *files, rv_Surface *surface, std::string *error);

void TerrainClose(TerrainFiles *files);
