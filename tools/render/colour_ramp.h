// Colours by elevation from a colour-relief text file: lines of
// "elevation red green blue [alpha]" (spaces, tabs, commas or colons
// between), "nv" for nodata, "N%" for a share of the range; colours
// between two entries are interpolated linearly, those beyond the ends take
// the end's colour. Empty lines and lines starting with '#' are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ColourRamp {
    struct Entry {
        double elevation;  // or the percentage, until resolved
        bool percent;
        uint8_t rgb[3];
    };
    std::string path;
    std::vector<Entry> entries;  // sorted by elevation once resolved
    bool has_nodata = false;
    uint8_t nodata[3] = {0, 0, 0};
};

// Reads path. Returns 0; 1 when the system cannot read it; 2 for a
// malformed line (its number in the message) or a file without entries.
int RampRead(ColourRamp *ramp, const std::string &path, std::string *error);

// Turns percentages into elevations of lo..hi and sorts the entries.
void RampResolve(ColourRamp *ramp, double lo, double hi);

// The colour of elevation e (NaN: nodata) into rgb.
void RampColour(const ColourRamp &ramp, double e, uint8_t *rgb);
