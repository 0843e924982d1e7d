// Elevations to heights: how tall a metre is against the size of a pixel,
// the lowest elevation at height 0, and the exaggeration lowered when the
// highest would not fit.
#pragma once

#include <cstdint>
#include <string>

// What a given terrain's mapping did: z = lround((e - e_min) * (256 z_scale
// / cell)), evaluated in double in that order.
struct TerrainMapping {
    double cell = 1.0;      // metres a pixel is high (north to south)
    double e_min = 0.0;     // lowest valid elevation
    double e_max = 0.0;     // highest valid elevation
    double z_scale = 1.0;   // vertical exaggeration used
    double asked = 1.0;     // the one asked for
    int64_t nodata = 0;     // pixels without an elevation
    int64_t valid = 0;      // pixels with one
    bool lowered = false;   // z_scale was lowered so that the heights fit
};

// Widens the range over n elevations (NaN: nodata).
void MappingAdd(TerrainMapping *mapping, const double *e, int32_t n);

// Settles z_scale once the range is known: asked, lowered so that e_max
// gives at most 65535, or with fit chosen to stretch the range onto
// 0..65535. A flat range keeps the scale asked.
void MappingChoose(TerrainMapping *mapping, double asked, bool fit);

// 256 z_scale / cell: what an elevation above e_min is multiplied by.
inline double MappingFactor(const TerrainMapping &m) { return 256.0 * m.z_scale / m.cell; }

// The height of elevation e; nodata (NaN) takes e_min's. Held to 0..65535.
uint16_t MappingHeight(const TerrainMapping &mapping, double factor, double e);

// The elevation a height stands for: z / 256 * cell / z_scale + e_min.
double MappingElevation(const TerrainMapping &mapping, uint16_t z);

// "--z-scale lowered to 0.25 so that the heights fit in 16 bits" and the like.
std::string MappingNote(const TerrainMapping &mapping);
