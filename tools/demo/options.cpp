// Command line: options compared by prefix, values read like atoi.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo.h"

int32_t rv_DemoReadValue(const char *text) {
    // strtol saturates at long's range where atoi would be undefined.
    long v = std::strtol(text, nullptr, 10);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

namespace {

enum class Opt { DoubleBuf, FullScreen, HwSurface, Width, Height, Tile, Threads };

struct Option {
    const char *name;
    Opt opt;
};

// Compared in this order: "-hw" before "-h".
constexpr Option kOptions[] = {
    {"-d", Opt::DoubleBuf}, {"-f", Opt::FullScreen}, {"-hw", Opt::HwSurface},
    {"-w", Opt::Width},     {"-h", Opt::Height},     {"-t", Opt::Tile},
    {"-j", Opt::Threads},
};

void apply(rv_Demo *demo, Opt opt, const char *value) {
    switch (opt) {
    case Opt::DoubleBuf:
        demo->video_flags |= SDL_DOUBLEBUF;
        std::puts("Requesting double buffered display.");
        break;
    case Opt::FullScreen:
        demo->video_flags |= SDL_FULLSCREEN;
        std::puts("Requesting fullscreen display.");
        break;
    case Opt::HwSurface:
        demo->video_flags |= SDL_HWSURFACE;
        std::puts("Requesting hardware display surface.");
        break;
    case Opt::Width:
        demo->width = rv_DemoReadValue(value);
        std::printf("Requested width %d.\n", demo->width);
        break;
    case Opt::Height:
        demo->height = rv_DemoReadValue(value);
        std::printf("Requested height %d.\n", demo->height);
        break;
    case Opt::Tile:
        demo->tile_size = rv_DemoReadValue(value);
        std::printf("Requested tile size %d.\n", demo->tile_size);
        break;
    case Opt::Threads:
        demo->threads = rv_DemoReadValue(value);
        std::printf("Requested %d threads.\n", demo->threads);
        break;
    }
}

}  // namespace

void rv_DemoReadArgs(rv_Demo *demo, int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        for (const Option &o : kOptions) {
            size_t n = std::strlen(o.name);
            if (std::strncmp(arg, o.name, n) == 0) {
                apply(demo, o.opt, arg + n);
                break;
            }
        }
    }
}
