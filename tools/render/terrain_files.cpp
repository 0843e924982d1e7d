#include "terrain_files.h"

#include <png.h>

#include <memory>
#include <new>

#include "given_landscape.h"

namespace {

int refuse(std::string *error, std::string message) {
    *error = std::move(message);
    return 2;
}

std::string size_text(const PngReader &r) {
    return std::to_string(r.width) + " x " + std::to_string(r.height);
}

bool plain_grey(const PngReader &r) {
    return r.colour_type == PNG_COLOR_TYPE_GRAY && !r.interlaced && (r.depth == 8 || r.depth == 16);
}

bool plain_colours(const PngReader &r) {
    return r.depth == 8 && !r.interlaced &&
           (r.colour_type == PNG_COLOR_TYPE_RGB || r.colour_type == PNG_COLOR_TYPE_RGB_ALPHA ||
            r.colour_type == PNG_COLOR_TYPE_GRAY);
}

// The picture side a surface side gives, or the side asked for.
int refuse_side(const PngReader &r, const char *letter, int32_t side, std::string *error) {
    return refuse(error, "--terrain: '" + r.path + "' is " + size_text(r) + " pixels, which gives a picture " +
                             std::to_string(side - 1) + " pixels " + (letter[1] == 'w' ? "wide" : "high") +
                             " (1 to 16384); give " + letter);
}

}  // namespace

int TerrainOpen(TerrainFiles *f, const RenderOptions &o, std::string *error) {
    if (const int status = PngReadOpen(&f->heights, o.terrain, error)) return status;
    const PngReader &h = f->heights;
    if (!plain_grey(h))
        return refuse(error, "--terrain: '" + h.path + "' is " + PngKind(h) +
                                 "; heights are read from an 8- or 16-bit greyscale PNG, not interlaced");
    if (h.width > kTerrainMaxSide || h.height > kTerrainMaxSide ||
        int64_t{h.width} * h.height > kTerrainMaxPixels)
        return refuse(error, "--terrain: '" + h.path + "' is " + size_text(h) + " pixels; the surfaces hold up to " +
                                 std::to_string(kTerrainMaxSide) + " on a side and 2^30 pixels");
    if (!o.width_given && (h.width < 2 || h.width > 16385)) return refuse_side(h, "-w", h.width, error);
    if (!o.height_given && (h.height < 2 || h.height > 16385)) return refuse_side(h, "-h", h.height, error);
    if (o.colours.empty()) return 0;
    if (const int status = PngReadOpen(&f->colours, o.colours, error)) return status;
    const PngReader &c = f->colours;
    if (!plain_colours(c))
        return refuse(error, "--colours: '" + c.path + "' is " + PngKind(c) +
                                 "; colours are read from an 8-bit RGB, RGBA or greyscale PNG, not interlaced");
    if (c.width != h.width || c.height != h.height)
        return refuse(error, "--colours: '" + c.path + "' is " + size_text(c) + " pixels, the heights '" + h.path +
                                 "' are " + size_text(h));
    PngReadAsRgb(&f->colours);
    return 0;
}

int TerrainRead(TerrainFiles *f, rv_Surface *surface, std::string *error) {
    const int32_t w = f->heights.width;
    const bool wide = f->heights.depth == 16;
    const bool colours = f->colours.png != nullptr;
    // One row of each file at a time; the surface is the only full copy.
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size_t(w) * 2]);
    std::unique_ptr<uint16_t[]> z(new (std::nothrow) uint16_t[size_t(w)]);
    std::unique_ptr<uint8_t[]> rgb(colours ? new (std::nothrow) uint8_t[size_t(w) * 3] : nullptr);
    if (!bytes || !z || (colours && !rgb)) {
        *error = "out of memory reading '" + f->heights.path + "'";
        return 1;
    }
    for (int32_t y = 0; y < surface->height; ++y) {
        if (const int status = PngReadRow(&f->heights, bytes.get(), error)) return status;
        if (colours)
            if (const int status = PngReadRow(&f->colours, rgb.get(), error)) return status;
        for (int32_t x = 0; x < w; ++x)
            z[x] = wide ? static_cast<uint16_t>(bytes[2 * x] << 8 | bytes[2 * x + 1])
                        : static_cast<uint16_t>(bytes[x] << 8);
        GivenLandscapeRow(surface, y, z.get(), rgb.get());
    }
    if (const int status = PngReadEnd(&f->heights, error)) return status;
    return colours ? PngReadEnd(&f->colours, error) : 0;
}

void TerrainClose(TerrainFiles *f) {
    PngReadClose(&f->heights);
    PngReadClose(&f->colours);
}
