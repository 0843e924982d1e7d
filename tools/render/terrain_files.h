// --terrain, --colours and --colour-ramp as inputs: the files opened and
// checked before anything is allocated, then decoded row by row into the
// landscape. PNGs are read with libpng; any other raster through GDAL
// where the build has it.
#pragma once

#include <string>
#include <vector>

#include "colour_ramp.h"
#include "png_read.h"
#include "relvane.h"
#include "render_options.h"
#include "terrain_mapping.h"
#ifdef RELVANE_GDAL
#include "gdal_raster.h"
#endif

// Largest surfaces a file may ask for: sides and pixels.
constexpr int32_t kTerrainMaxSide = 65536;
constexpr int64_t kTerrainMaxPixels = int64_t{1} << 30;

struct TerrainFiles {
    PngReader heights;
    PngReader colours;  // open when --colours names a PNG
#ifdef RELVANE_GDAL
    GdalRaster raster;          // the heights, when not a PNG
    GdalRaster colour_raster;   // the colours, when not a PNG
#endif
    bool from_raster = false;
    bool ramp_given = false;
    ColourRamp ramp;
    int32_t width = 0, height = 0;
    // The mapping of elevations to heights (a PNG's value v being v / 256
    // height units, 8-bit values times 256), and where no elevation is:
    // one bit a pixel, row after row, when nodata is found.
    TerrainMapping mapping;
    std::vector<uint8_t> nodata;
    // Georeferencing carried over to a GeoTIFF heightmap.
    bool georeferenced = false;
    double transform[6] = {0, 1, 0, 0, 0, 1};
    std::string crs;
};

// Opens the files and checks their types and sizes, and that the picture
// the sizes give fits (W - 1 by H - 1 unless -w or -h is given); a raster's
// elevations are scanned for their range. Returns 0, 1 (a file the system
// cannot read) or 2 (a file of the wrong kind or size), with the message
// in *error. Close the files in either case.
int TerrainOpen(TerrainFiles *files, const RenderOptions &options, std::string *error);

// Decodes every row into surface (the files' size): z by the mapping,
// colours from the colour map, the ramp or the base colour (nodata black).
// Returns 0, 1 or 2 with *error.
int TerrainRead(TerrainFiles *files, const RenderOptions &options, rv_Surface *surface, std::string *error);

// Whether pixel (x, y) had no elevation.
inline bool TerrainNodata(const TerrainFiles &f, int32_t x, int32_t y) {
    if (f.nodata.empty()) return false;
    const size_t i = static_cast<size_t>(y) * static_cast<size_t>(f.width) + static_cast<size_t>(x);
    return (f.nodata[i >> 3] >> (i & 7)) & 1;
}

void TerrainClose(TerrainFiles *files);
