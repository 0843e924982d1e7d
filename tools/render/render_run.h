// One run of relvane-render: the test program's landscape, view and display
// on an in-memory 24-bit screen, written to PNG files.
#pragma once

#include <cstdint>
#include <string>

#include "demo.h"
#include "render_options.h"

// The demo record for the options: the test program's start values, its
// opening move ended, then each setting of the options.
void RenderSetUp(rv_Demo *demo, rv_DemoLoop *loop, const RenderOptions &options);

// Renders and writes everything the options ask for. Progress goes to
// standard error when progress is set. Every file is checked before
// anything is rendered. Returns 0; 2 after a message on standard error for
// two names of one file, a given file of the wrong kind or size, or a
// thread count the build cannot have; 1 when memory runs out (nothing
// written) or a file cannot be read or written (frames written before it
// stay, none of its own). SIGINT, SIGTERM and SIGHUP remove the
// temporaries in flight and end the process by the signal.
int RenderRun(const RenderOptions &options, bool progress);
