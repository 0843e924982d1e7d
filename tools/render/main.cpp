// relvane-render: the test program's landscape to PNG files, no display.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "render_options.h"
#include "render_run.h"

int main(int argc, char **argv) {
    RenderOptions options;
    std::string error;
    if (RenderReadArgs(&options, argc, argv, &error) != 0) {
        std::fprintf(stderr, "relvane-render: %s\n%s\n", error.c_str(), RenderUsage());
        return 2;
    }
    if (options.help) {
        // A help text that did not arrive is a failure (a full disk, a
        // closed pipe's reader gone).
        errno = 0;
        if (std::fputs(RenderHelp(), stdout) >= 0 && std::fflush(stdout) == 0) return 0;
        std::fprintf(stderr, "relvane-render: cannot write the help: %s\n", std::strerror(errno != 0 ? errno : EIO));
        return 1;
    }
    return RenderRun(options, isatty(STDERR_FILENO) == 1);
}
