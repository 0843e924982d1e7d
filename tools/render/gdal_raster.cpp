// GDAL's C API behind the few calls relvane-render makes. GDAL's messages
// are kept quiet and put into our one line; its block cache is held small,
// since the surfaces are the only full copy of a raster.
#include "gdal_raster.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// GDAL's cache of decoded blocks, and the most a strip of rows holds.
constexpr int64_t kBlockCache = 16 << 20;
constexpr int64_t kStripBytes = 8 << 20;

const char *const kKeys[] = {"RELVANE_E_MIN", "RELVANE_CELL", "RELVANE_Z_SCALE", "RELVANE_Z_SCALE_ASKED"};

void set_up() {
    static const bool done = [] {
        GDALAllRegister();
        GDALSetCacheMax64(kBlockCache);
        // No side files (.aux.xml) written beside what we read or write.
        CPLSetConfigOption("GDAL_PAM_ENABLED", "NO");
        CPLPushErrorHandler(CPLQuietErrorHandler);
        return true;
    }();
    (void)done;
}

GDALDatasetH dataset_of(const GdalRaster *r) { return static_cast<GDALDatasetH>(r->dataset); }
GDALRasterBandH band_of(const GdalRaster *r) { return static_cast<GDALRasterBandH>(r->band); }

// GDAL's last message, or what went wrong in its place.
std::string why(const char *otherwise) {
    const char *m = CPLGetLastErrorMsg();
    return m && *m ? m : otherwise;
}

int refuse(std::string *error, std::string message) {
    *error = std::move(message);
    return 2;
}

// Metres in one of the band's units: feet turned into metres, anything
// else taken as metres.
double unit_metres(const char *unit) {
    std::string u = unit ? unit : "";
    std::transform(u.begin(), u.end(), u.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (u == "ft" || u == "foot" || u == "feet" || u == "international foot") return 0.3048;
    if (u == "us-ft" || u == "ftus" || u == "us survey foot" || u == "us foot" || u == "foot_us")
        return 1200.0 / 3937.0;
    return 1.0;
}

// The north-south size of a pixel in metres: from the CRS's linear unit,
// degrees times 111,320 for a geographic one; 1 without georeferencing.
void georeference(GdalRaster *r) {
    GDALDatasetH ds = dataset_of(r);
    double t[6];
    const double plain[6] = {0, 1, 0, 0, 0, 1};
    if (GDALGetGeoTransform(ds, t) != CE_None || std::memcmp(t, plain, sizeof t) == 0) return;
    r->georeferenced = true;
    std::memcpy(r->transform, t, sizeof t);
    const char *wkt = GDALGetProjectionRef(ds);
    r->crs = wkt ? wkt : "";
    const double side = std::hypot(t[4], t[5]);
    OGRSpatialReferenceH srs = GDALGetSpatialRef(ds);
    if (srs && OSRIsGeographic(srs))
        r->cell = side * (OSRGetAngularUnits(srs, nullptr) * 180.0 / M_PI) * 111320.0;
    else if (srs)
        r->cell = side * OSRGetLinearUnits(srs, nullptr);
    else
        r->cell = side;
    if (!(r->cell > 0.0) || !std::isfinite(r->cell)) r->cell = 1.0;
}

// The mapping a heightmap of ours carries, if all of it is there.
void written_mapping(GdalRaster *r) {
    double v[4];
    for (int k = 0; k < 4; ++k) {
        const char *text = GDALGetMetadataItem(dataset_of(r), kKeys[k], nullptr);
        char *end = nullptr;
        if (!text || (v[k] = std::strtod(text, &end), end == text || *end) || !std::isfinite(v[k])) return;
    }
    if (!(v[1] > 0.0) || !(v[2] > 0.0)) return;
    r->has_mapping = true;
    r->written.e_min = v[0];
    r->written.cell = v[1];
    r->written.z_scale = v[2];
    r->written.asked = v[3];
}

// Rows first.. of the strip into the buffers, reading when row y is not in.
int fill(GdalRaster *r, int32_t y, bool colours, std::string *error) {
    if (y >= r->first && y < r->first + r->count) return 0;
    const int32_t n = std::min(r->strip, r->height - y);
    const size_t w = static_cast<size_t>(r->width);
    CPLErrorReset();
    CPLErr status;
    if (colours) {
        int bands[3] = {1, 2, 3};
        status = GDALDatasetRasterIO(dataset_of(r), GF_Read, 0, y, r->width, n, r->bytes.get(), r->width, n,
                                     GDT_Byte, 3, bands, 3, static_cast<int>(3 * w), 1);
    } else {
        status = GDALRasterIO(band_of(r), GF_Read, 0, y, r->width, n, r->rows.get(), r->width, n, GDT_Float64, 0, 0);
    }
    if (status != CE_None) return refuse(error, "'" + r->path + "' is not a whole raster: " + why("read failed"));
    r->first = y;
    r->count = n;
    return 0;
}

// The strip height: whole blocks where they fit in kStripBytes.
bool size_strip(GdalRaster *r, GDALRasterBandH band, size_t bytes_per_pixel) {
    int bx = 0, by = 0;
    GDALGetBlockSize(band, &bx, &by);
    const int64_t row = int64_t{r->width} * static_cast<int64_t>(bytes_per_pixel);
    r->strip = static_cast<int32_t>(std::clamp<int64_t>(std::min<int64_t>(by, kStripBytes / row), 1, r->height));
    const size_t n = static_cast<size_t>(r->strip) * static_cast<size_t>(r->width);
    if (bytes_per_pixel == 8) r->rows.reset(new (std::nothrow) double[n]);
    else r->bytes.reset(new (std::nothrow) uint8_t[n * 3]);
    return bytes_per_pixel == 8 ? r->rows != nullptr : r->bytes != nullptr;
}

}  // namespace

int GdalOpen(GdalRaster *r, const std::string &path, std::string *error) {
    set_up();
    r->path = path;
    CPLErrorReset();
    GDALDatasetH ds = GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    if (!ds) return refuse(error, "'" + path + "' is not a raster GDAL reads: " + why("unknown format"));
    r->dataset = ds;
    r->width = GDALGetRasterXSize(ds);
    r->height = GDALGetRasterYSize(ds);
    r->bands = GDALGetRasterCount(ds);
    if (r->bands < 1) return refuse(error, "'" + path + "' has no raster bands");
    return 0;
}

int GdalUseBand(GdalRaster *r, int32_t band, std::string *error) {
    if (band == 0 && r->bands > 1)
        return refuse(error, "--terrain: '" + r->path + "' has " + std::to_string(r->bands) +
                                 " bands; give --band=N (1 to " + std::to_string(r->bands) + ")");
    if (band > r->bands)
        return refuse(error, "--band=" + std::to_string(band) + ": '" + r->path + "' has " +
                                 std::to_string(r->bands) + (r->bands == 1 ? " band" : " bands"));
    GDALRasterBandH b = GDALGetRasterBand(dataset_of(r), band > 0 ? band : 1);
    r->band = b;
    r->float32 = GDALGetRasterDataType(b) == GDT_Float32;
    int has = 0;
    const double nodata = GDALGetRasterNoDataValue(b, &has);
    r->has_nodata = has != 0 && !std::isnan(nodata);
    r->nodata = nodata;
    const double scale = GDALGetRasterScale(b, &has);
    r->scale = has && scale != 0.0 ? scale : 1.0;
    const double offset = GDALGetRasterOffset(b, &has);
    r->offset = has ? offset : 0.0;
    r->unit = unit_metres(GDALGetRasterUnitType(b));
    georeference(r);
    written_mapping(r);
    if (!size_strip(r, b, sizeof(double))) return refuse(error, "out of memory reading '" + r->path + "'");
    return 0;
}

int GdalUseColours(GdalRaster *r, std::string *error) {
    bool bytes = r->bands == 3 || r->bands == 4;
    for (int k = 1; bytes && k <= r->bands; ++k)
        bytes = GDALGetRasterDataType(GDALGetRasterBand(dataset_of(r), k)) == GDT_Byte;
    if (!bytes)
        return refuse(error, "--colours: '" + r->path + "' has " + std::to_string(r->bands) +
                                 (r->bands == 1 ? " band" : " bands") +
                                 "; colours are read from 3 or 4 bands of 8 bits (RGB or RGBA)");
    if (!size_strip(r, GDALGetRasterBand(dataset_of(r), 1), 3))
        return refuse(error, "out of memory reading '" + r->path + "'");
    return 0;
}

int GdalReadElevations(GdalRaster *r, double *row, std::string *error) {
    const int32_t y = r->next;
    if (const int status = fill(r, y, false, error)) return status;
    const double *raw = r->rows.get() + static_cast<size_t>(y - r->first) * static_cast<size_t>(r->width);
    const float nodata32 = static_cast<float>(r->nodata);
    for (int32_t x = 0; x < r->width; ++x) {
        const double v = raw[x];
        const bool none = std::isnan(v) || (r->has_nodata && (r->float32 ? static_cast<float>(v) == nodata32
                                                                         : v == r->nodata));
        row[x] = none ? NAN : (v * r->scale + r->offset) * r->unit;
    }
    ++r->next;
    return 0;
}

void GdalRewind(GdalRaster *r) {
    r->next = 0;
}

int GdalReadColours(GdalRaster *r, uint8_t *rgb, std::string *error) {
    const int32_t y = r->next;
    if (const int status = fill(r, y, true, error)) return status;
    std::memcpy(rgb, r->bytes.get() + static_cast<size_t>(y - r->first) * 3 * static_cast<size_t>(r->width),
                3 * static_cast<size_t>(r->width));
    ++r->next;
    return 0;
}

void GdalClose(GdalRaster *r) {
    if (r->dataset) GDALClose(dataset_of(r));
    r->dataset = nullptr;
    r->band = nullptr;
    r->rows.reset();
    r->bytes.reset();
}

int GdalWriteElevations(const std::string &path, const std::string &name, int32_t width, int32_t height,
                        const double *transform, const std::string &crs, const TerrainMapping &m,
                        void (*row)(const void *, int32_t, float *), const void *source, std::string *error) {
    set_up();
    const auto fail = [&](const char *otherwise) {
        *error = "cannot write '" + name + "': " + why(otherwise);
        return 1;
    };
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    if (!driver) return fail("GDAL has no GeoTIFF driver");
    const char *options[] = {"COMPRESS=DEFLATE", "ZLEVEL=1", "PREDICTOR=3", "BIGTIFF=IF_SAFER", nullptr};
    CPLErrorReset();
    GDALDatasetH ds = GDALCreate(driver, path.c_str(), width, height, 1, GDT_Float32, const_cast<char **>(options));
    if (!ds) return fail("GeoTIFF creation failed");
    bool ok = true;
    if (!crs.empty()) {
        ok = GDALSetGeoTransform(ds, const_cast<double *>(transform)) == CE_None &&
             GDALSetProjection(ds, crs.c_str()) == CE_None;
    }
    const double values[4] = {m.e_min, m.cell, m.z_scale, m.asked};
    for (int k = 0; k < 4 && ok; ++k) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", values[k]);
        ok = GDALSetMetadataItem(ds, kKeys[k], text, nullptr) == CE_None;
    }
    GDALRasterBandH band = GDALGetRasterBand(ds, 1);
    ok = ok && GDALSetRasterNoDataValue(band, NAN) == CE_None;
    std::vector<float> strip;
    const int32_t rows = static_cast<int32_t>(std::clamp<int64_t>(kStripBytes / 4 / std::max(width, 1), 1, 256));
    if (ok) {
        try {
            strip.resize(static_cast<size_t>(rows) * static_cast<size_t>(width));
        } catch (const std::bad_alloc &) {
            GDALClose(ds);
            *error = "out of memory writing '" + name + "'";
            return 1;
        }
    }
    for (int32_t y = 0; y < height && ok; y += rows) {
        const int32_t n = std::min(rows, height - y);
        for (int32_t i = 0; i < n; ++i) row(source, y + i, strip.data() + static_cast<size_t>(i) * width);
        ok = GDALRasterIO(band, GF_Write, 0, y, width, n, strip.data(), width, n, GDT_Float32, 0, 0) == CE_None;
    }
    CPLErrorReset();
    GDALClose(ds);
    if (!ok || CPLGetLastErrorType() >= CE_Failure) return fail("GeoTIFF writing failed");
    return 0;
}
