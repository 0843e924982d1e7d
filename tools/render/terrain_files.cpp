#include "terrain_files.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "given_landscape.h"

namespace {

int refuse(std::string *error, std::string message) {
    *error = std::move(message);
    return 2;
}

std::string size_text(int32_t w, int32_t h) { return std::to_string(w) + " x " + std::to_string(h); }

bool plain_grey(const PngReader &r) {
    return r.colour_type == PNG_COLOR_TYPE_GRAY && !r.interlaced && (r.depth == 8 || r.depth == 16);
}

bool plain_colours(const PngReader &r) {
    return !r.interlaced && (r.colour_type == PNG_COLOR_TYPE_PALETTE ||
                             (r.depth == 8 && (r.colour_type == PNG_COLOR_TYPE_RGB ||
                                               r.colour_type == PNG_COLOR_TYPE_RGB_ALPHA ||
                                               r.colour_type == PNG_COLOR_TYPE_GRAY)));
}

#ifdef RELVANE_GDAL
// Whether the file starts as a PNG does (any other file goes to GDAL).
bool looks_like_png(const std::string &path) {
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) return true;  // the PNG reader says why
    png_byte signature[8];
    const size_t got = std::fread(signature, 1, sizeof signature, file);
    std::fclose(file);
    return got == sizeof signature && png_sig_cmp(signature, 0, sizeof signature) == 0;
}
#endif

// The terrain's size against the surfaces' limits and the picture's.
int check_size(const std::string &path, int32_t w, int32_t h, const RenderOptions &o, std::string *error) {
    if (w > kTerrainMaxSide || h > kTerrainMaxSide || int64_t{w} * h > kTerrainMaxPixels)
        return refuse(error, "--terrain: '" + path + "' is " + size_text(w, h) + " pixels; the surfaces hold up to " +
                                 std::to_string(kTerrainMaxSide) + " on a side and 2^30 pixels");
    const auto side = [&](const char *letter, int32_t s, const char *way) {
        return refuse(error, "--terrain: '" + path + "' is " + size_text(w, h) + " pixels, which gives a picture " +
                                 std::to_string(s - 1) + " pixels " + way + " (1 to 16384); give " + letter);
    };
    if (!o.width_given && (w < 2 || w > 16385)) return side("-w", w, "wide");
    if (!o.height_given && (h < 2 || h > 16385)) return side("-h", h, "high");
    return 0;
}

int colours_size(const std::string &path, int32_t w, int32_t h, const TerrainFiles &f, std::string *error) {
    if (w == f.width && h == f.height) return 0;
    return refuse(error, "--colours: '" + path + "' is " + size_text(w, h) + " pixels, the heights '" +
                             f.heights.path + "' are " + size_text(f.width, f.height));
}

#ifdef RELVANE_GDAL
// The raster's elevations read once for their range, then the scale.
int scan(TerrainFiles *f, const RenderOptions &o, std::string *error) {
    GdalRaster &r = f->raster;
    std::unique_ptr<double[]> row(new (std::nothrow) double[static_cast<size_t>(r.width)]);
    if (!row) return refuse(error, "out of memory reading '" + r.path + "'");
    TerrainMapping &m = f->mapping;
    m.cell = r.cell;
    for (int32_t y = 0; y < r.height; ++y) {
        if (const int status = GdalReadElevations(&r, row.get(), error)) return status;
        MappingAdd(&m, row.get(), r.width);
    }
    GdalRewind(&r);
    if (m.valid == 0) return refuse(error, "--terrain: '" + r.path + "' has no valid elevation (every pixel nodata)");
    if (r.has_mapping && !o.fit && r.written.asked == o.z_scale) {
        // A heightmap of ours, read back as it was made.
        const double e_max = m.e_max;
        m = TerrainMapping{r.written.cell, r.written.e_min, e_max, r.written.z_scale, o.z_scale, m.nodata, m.valid,
                           false};
    } else {
        MappingChoose(&m, o.z_scale, o.fit);
    }
    f->georeferenced = r.georeferenced;
    std::memcpy(f->transform, r.transform, sizeof f->transform);
    f->crs = r.crs;
    return 0;
}

int open_raster(TerrainFiles *f, const RenderOptions &o, std::string *error) {
    f->from_raster = true;
    f->heights.path = o.terrain;
    if (const int status = GdalOpen(&f->raster, o.terrain, error)) return status;
    if (const int status = GdalUseBand(&f->raster, o.band, error)) return status;
    f->width = f->raster.width;
    f->height = f->raster.height;
    if (const int status = check_size(o.terrain, f->width, f->height, o, error)) return status;
    return scan(f, o, error);
}
#endif

int open_png(TerrainFiles *f, const RenderOptions &o, std::string *error) {
    if (const int status = PngReadOpen(&f->heights, o.terrain, error)) return status;
    const PngReader &h = f->heights;
    if (!plain_grey(h))
        return refuse(error, "--terrain: '" + h.path + "' is " + PngKind(h) +
                                 "; heights are read from an 8- or 16-bit greyscale PNG, not interlaced");
    if (o.band > 1) return refuse(error, "--band=" + std::to_string(o.band) + ": '" + h.path + "' has 1 band");
    f->width = h.width;
    f->height = h.height;
    return check_size(o.terrain, f->width, f->height, o, error);
}

int open_colours(TerrainFiles *f, const RenderOptions &o, std::string *error) {
#ifdef RELVANE_GDAL
    if (!looks_like_png(o.colours)) {
        GdalRaster &c = f->colour_raster;
        if (const int status = GdalOpen(&c, o.colours, error)) return error->insert(0, "--colours: "), status;
        if (const int status = colours_size(o.colours, c.width, c.height, *f, error)) return status;
        return GdalUseColours(&c, error);
    }
#endif
    if (const int status = PngReadOpen(&f->colours, o.colours, error)) return status;
    const PngReader &c = f->colours;
    if (!plain_colours(c))
        return refuse(error, "--colours: '" + c.path + "' is " + PngKind(c) +
                                 "; colours are read from an 8-bit RGB, RGBA, greyscale or a palette PNG, not "
                                 "interlaced");
    if (const int status = colours_size(o.colours, c.width, c.height, *f, error)) return status;
    PngReadAsRgb(&f->colours);
    return 0;
}

bool colours_open(const TerrainFiles &f) {
#ifdef RELVANE_GDAL
    if (f.colour_raster.dataset) return true;
#endif
    return f.colours.png != nullptr;
}

int read_colour_row(TerrainFiles *f, uint8_t *rgb, std::string *error) {
#ifdef RELVANE_GDAL
    if (f->colour_raster.dataset) return GdalReadColours(&f->colour_raster, rgb, error);
#endif
    return PngReadRow(&f->colours, rgb, error);
}

int end_colours(TerrainFiles *f, std::string *error) {
    return f->colours.png ? PngReadEnd(&f->colours, error) : 0;
}

// Row buffers of one read.
struct Rows {
    std::unique_ptr<uint8_t[]> bytes;
    std::unique_ptr<uint16_t[]> z;
    std::unique_ptr<uint8_t[]> rgb;
    std::unique_ptr<double[]> e;
};

#ifdef RELVANE_GDAL
int read_raster(TerrainFiles *f, rv_Surface *surface, const Rows &b, bool coloured, std::string *error) {
    const int32_t w = f->width;
    const TerrainMapping &m = f->mapping;
    const double factor = MappingFactor(m);
    if (m.nodata > 0) f->nodata.assign((static_cast<size_t>(w) * static_cast<size_t>(f->height) + 7) / 8, 0);
    for (int32_t y = 0; y < f->height; ++y) {
        if (const int status = GdalReadElevations(&f->raster, b.e.get(), error)) return status;
        if (colours_open(*f))
            if (const int status = read_colour_row(f, b.rgb.get(), error)) return status;
        for (int32_t x = 0; x < w; ++x) {
            const double e = b.e[x];
            b.z[x] = MappingHeight(m, factor, e);
            const bool none = std::isnan(e);
            uint8_t *c = &b.rgb[3 * x];
            if (f->ramp_given) RampColour(f->ramp, e, c);
            else if (!coloured) c[0] = none ? 0 : kGivenRed, c[1] = none ? 0 : kGivenGreen, c[2] = none ? 0 : kGivenBlue;
            if (!none) continue;
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
            f->nodata[i >> 3] = static_cast<uint8_t>(f->nodata[i >> 3] | 1 << (i & 7));
        }
        GivenLandscapeRow(surface, y, b.z.get(), b.rgb.get());
    }
    return end_colours(f, error);
}
#endif

// A PNG's rows; with a scale, a stretch or a ramp, its values are kept in
// z first and mapped once the range is known.
int read_png(TerrainFiles *f, const RenderOptions &o, rv_Surface *surface, const Rows &b, bool coloured,
             std::string *error) {
    const int32_t w = f->width;
    const bool wide = f->heights.depth == 16;
    const bool mapped = o.fit || o.z_scale != 1.0 || f->ramp_given;
    uint16_t lo = 65535, hi = 0;
    for (int32_t y = 0; y < surface->height; ++y) {
        if (const int status = PngReadRow(&f->heights, b.bytes.get(), error)) return status;
        if (coloured)
            if (const int status = read_colour_row(f, b.rgb.get(), error)) return status;
        for (int32_t x = 0; x < w; ++x) {
            const uint16_t v = wide ? static_cast<uint16_t>(b.bytes[2 * x] << 8 | b.bytes[2 * x + 1]) : b.bytes[x];
            b.z[x] = mapped ? v : static_cast<uint16_t>(wide ? v : v << 8);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        GivenLandscapeRow(surface, y, b.z.get(), coloured ? b.rgb.get() : nullptr);
    }
    if (const int status = PngReadEnd(&f->heights, error)) return status;
    if (const int status = end_colours(f, error)) return status;
    TerrainMapping &m = f->mapping;
    const int shift = wide ? 0 : 8;
    m.e_min = o.fit ? (lo << shift) / 256.0 : 0.0;
    m.e_max = (hi << shift) / 256.0;
    m.valid = int64_t{w} * f->height;
    m.asked = m.z_scale = o.z_scale;
    if (o.fit) MappingChoose(&m, o.z_scale, true);
    if (!mapped) return 0;
    if (f->ramp_given) RampResolve(&f->ramp, lo, hi);
    const double factor = MappingFactor(m);
    for (int32_t y = 0; y < surface->height; ++y) {
        rv_Pixel *p = surface->pixels + static_cast<ptrdiff_t>(y) * surface->pitch;
        for (int32_t x = 0; x < w; ++x) {
            const uint16_t v = p[x].z;
            if (f->ramp_given) {
                uint8_t rgb[3];
                RampColour(f->ramp, v, rgb);
                p[x].red = rgb[0], p[x].green = rgb[1], p[x].blue = rgb[2];
            }
            p[x].z = MappingHeight(m, factor, (v << shift) / 256.0);
        }
    }
    return 0;
}

}  // namespace

int TerrainOpen(TerrainFiles *f, const RenderOptions &o, std::string *error) {
    if (!o.colours.empty() && !o.colour_ramp.empty())
        return refuse(error, "--colours and --colour-ramp: give one of them");
#ifdef RELVANE_GDAL
    if (!looks_like_png(o.terrain)) {
        if (const int status = open_raster(f, o, error)) return status;
    } else
#endif
    if (const int status = open_png(f, o, error)) {
        return status;
    }
    if (!o.colour_ramp.empty()) {
        f->ramp_given = true;
        if (const int status = RampRead(&f->ramp, o.colour_ramp, error)) return status;
        if (f->from_raster) RampResolve(&f->ramp, f->mapping.e_min, f->mapping.e_max);
    }
    return o.colours.empty() ? 0 : open_colours(f, o, error);
}

int TerrainRead(TerrainFiles *f, const RenderOptions &o, rv_Surface *surface, std::string *error) {
    const int32_t w = f->width;
    const bool coloured = colours_open(*f);
    // One row of each file at a time; the surface is the only full copy.
    Rows b;
    b.bytes.reset(new (std::nothrow) uint8_t[size_t(w) * 2]);
    b.z.reset(new (std::nothrow) uint16_t[size_t(w)]);
    b.rgb.reset(new (std::nothrow) uint8_t[size_t(w) * 3]);
    b.e.reset(f->from_raster ? new (std::nothrow) double[size_t(w)] : nullptr);
    if (!b.bytes || !b.z || !b.rgb || (f->from_raster && !b.e)) {
        *error = "out of memory reading '" + f->heights.path + "'";
        return 1;
    }
#ifdef RELVANE_GDAL
    if (f->from_raster) return read_raster(f, surface, b, coloured, error);
#endif
    return read_png(f, o, surface, b, coloured, error);
}

void TerrainClose(TerrainFiles *f) {
    PngReadClose(&f->heights);
    PngReadClose(&f->colours);
#ifdef RELVANE_GDAL
    GdalClose(&f->raster);
    GdalClose(&f->colour_raster);
#endif
}
