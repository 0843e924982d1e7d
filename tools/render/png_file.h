// PNG files written whole or not at all: encoded under a short temporary
// name in the target's folder and renamed onto it once complete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// One picture for the encoder: 8-bit RGB or 16-bit grey rows, each filled
// on demand into a row buffer of at least PngRowBytes bytes.
struct PngPicture {
    int32_t width;
    int32_t height;
    bool grey16;
    void (*fill_row)(const void *source, int32_t y, uint8_t *row);
    const void *source;
};

// Bytes of one encoded row of the picture.
size_t PngRowBytes(int32_t width, bool grey16);

// A file being written: its name as given, the file that name writes (the
// same, or a symbolic link's target), and the open temporary, which a
// signal removes until it is committed or discarded.
struct PendingFile {
    std::string path;
    std::string target;
    std::string temp;
    FILE *file = nullptr;
    int slot = -1;
};

// Creates the temporary beside the file path writes (OutputTarget), with
// the mode of the file it replaces or that of a new file. Returns 0, or -1
// with the path and the reason in *error.
int PendingOpen(PendingFile *file, const std::string &path, std::string *error);
// Encodes the picture into the pending file (Huffman-only deflate behind
// the "average" filter, for speed), using row (PngRowBytes long) as
// scratch, then closes it. Returns 0, or -1 with the reason in *error; the
// temporary stays until committed or discarded either way.
int PendingWritePng(PendingFile *file, const PngPicture &picture, uint8_t *row,
                       std::string *error);
// Renames the finished temporary onto its path. 0, or -1 with *error.
int PendingCommit(PendingFile *file, std::string *error);
// Closes and removes the temporary, if any.
void PendingDiscard(PendingFile *file);
