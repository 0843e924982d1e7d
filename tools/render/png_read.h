// PNG files read row by row with libpng, for --terrain and --colours.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// An open PNG file past its header.
struct PngReader {
    std::string path;
    FILE *file = nullptr;
    void *png = nullptr;   // png_structp
    void *info = nullptr;  // png_infop
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;        // bits per sample
    int32_t colour_type = 0;  // PNG_COLOR_TYPE_*
    bool interlaced = false;
};

// Opens path and reads its header. Returns 0; 1 with "cannot read 'PATH':
// reason" when the system cannot read it; 2 when it is no PNG or its header
// is broken (the message says which).
int PngReadOpen(PngReader *reader, const std::string &path, std::string *error);

// What the file is, for messages: "an 8-bit RGB PNG", "a 16-bit greyscale
// PNG", "an interlaced 8-bit greyscale PNG" ...
std::string PngKind(const PngReader &reader);

// Sets the decoder to deliver 8-bit RGB rows: alpha dropped, grey spread
// over the three channels, a palette expanded. For the types PngKind calls
// 8-bit RGB, RGBA or greyscale, and palette PNGs.
void PngReadAsRgb(PngReader *reader);

// Decodes the next row into row (the file's row bytes after the transforms
// set: width x channels x depth / 8). After the last row, call it no more
// and call PngReadEnd. Returns 0, 1 on a read error, 2 for a truncated
// or corrupt file, with the message in *error.
int PngReadRow(PngReader *reader, uint8_t *row, std::string *error);
// Reads what follows the image, up to the end of the file: 0, 1 or 2.
int PngReadEnd(PngReader *reader, std::string *error);
// Releases the decoder and closes the file.
void PngReadClose(PngReader *reader);
