// Rasters GDAL reads (GeoTIFF, SRTM tiles, ASCII grids ...): the heights'
// band as elevations in metres, and 3- or 4-band colour maps, a block's
// rows at a time. Built when GDAL is found (RELVANE_GDAL).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "terrain_mapping.h"

struct GdalRaster {
    std::string path;
    void *dataset = nullptr;  // GDALDatasetH
    void *band = nullptr;     // GDALRasterBandH of the heights
    int32_t width = 0;
    int32_t height = 0;
    int32_t bands = 0;
    // The heights' band: raw value v gives (v * scale + offset) * unit metres.
    bool float32 = false;
    bool has_nodata = false;
    double nodata = 0.0;
    double scale = 1.0, offset = 0.0, unit = 1.0;
    // Georeferencing: the affine transform and the CRS as WKT (empty: none).
    bool georeferenced = false;
    double transform[6] = {0, 1, 0, 0, 0, 1};
    std::string crs;
    double cell = 1.0;  // metres a pixel is high
    // What a heightmap written by relvane-render carries: its mapping.
    bool has_mapping = false;
    TerrainMapping written;
    // Rows read so far and the block of rows buffered.
    int32_t strip = 1;
    int32_t first = 0, count = 0, next = 0;
    std::unique_ptr<double[]> rows;
    std::unique_ptr<uint8_t[]> bytes;
};

// Opens path as a raster. Returns 0; 2 with "'PATH' is not a raster GDAL
// reads: reason" (or the like) in *error.
int GdalOpen(GdalRaster *raster, const std::string &path, std::string *error);

// Takes band (from 1; 0: none given, which a raster of several bands
// refuses) as the heights: its nodata, scale, offset and unit, and the
// cell size from the georeferencing. 0 or 2 with *error.
int GdalUseBand(GdalRaster *raster, int32_t band, std::string *error);

// Checks a colour map: 3 or 4 bands of 8 bits (the fourth ignored).
int GdalUseColours(GdalRaster *raster, std::string *error);

// The next row of elevations in metres (NaN for nodata), width values;
// GdalRewind starts at the first row again. 0, or 2 for a damaged file.
int GdalReadElevations(GdalRaster *raster, double *row, std::string *error);
void GdalRewind(GdalRaster *raster);

// The next row of a colour map as width RGB triples. 0 or 2.
int GdalReadColours(GdalRaster *raster, uint8_t *rgb, std::string *error);

void GdalClose(GdalRaster *raster);

// Writes a float32 GeoTIFF of width x height elevations, filled a row at
// a time by row(source, y, out) (NaN for nodata), with the transform and
// CRS when crs is not empty and the mapping as metadata. 0, or 1 with
// "cannot write 'NAME': reason".
int GdalWriteElevations(const std::string &path, const std::string &name, int32_t width, int32_t height,
                        const double *transform, const std::string &crs, const TerrainMapping &mapping,
                        void (*row)(const void *source, int32_t y, float *out), const void *source,
                        std::string *error);
