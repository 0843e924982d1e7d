// relvane-render: the test program's landscape to PNG files, no display.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "render_options.h"
#include "render_run.h"

int main(int argc, char **argv) {
    rv_RenderOptions options;
    std::string error;
    if (rv_RenderReadArgs(&options, argc, argv, &error) != 0) {
        std::fprintf(stderr, "relvane-render: %s\n%s\n", error.c_str(), rv_RenderUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(rv_RenderHelp(), stdout);
        return 0;
    }
    return rv_RenderRun(options, isatty(STDERR_FILENO) == 1);
}
