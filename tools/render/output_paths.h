// The files of a run, checked before anything is rendered: where each
// output is written, and that no two names mean the same file.
#pragma once

#include <string>
#include <vector>

#include "render_options.h"

// Where an output name is written: the name itself, or the file a symbolic
// link names (written through, as cp does). Returns 0 with *target set, or
// 1 with "cannot write 'PATH': reason" in *error: a folder, a device, FIFO
// or socket (never replaced), a link to nothing, a missing folder or one
// that is a file, a name too long.
int OutputTarget(const std::string &path, std::string *target, std::string *error);

// One file of a run and what it is for ("output", "--heightmap", ...).
struct RunFile {
    std::string path;
    const char *role;
    bool input;
};

// The files of frame k (from 1; 0 when there is one picture): the picture,
// then the heightmap and colour map written beside it.
std::vector<RunFile> RenderFrameFiles(const RenderOptions &options, int32_t k);

// Checks every input and output of the run: each output as
// OutputTarget does, each input a regular file, and no two naming the same
// file (by device and inode where it exists, by its folder resolved and its
// name where it does not). Returns 0, 1 (a reason from the system) or 2 (two
// names for one file), with a message in *error.
int RenderCheckFiles(const RenderOptions &options, std::string *error);
