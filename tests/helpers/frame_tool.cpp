// Writes the frame the test program shows once its opening move has ended
// (view straight down, light at 45 degrees, every other setting at its start
// value) in a given display mode, as a binary PPM. Used by the end-to-end
// checks to compare the real window against the same engine calls.
//   relvane-frame WIDTH HEIGHT MODE OUT.ppm [NAME=VALUE...]
// Settings after the output change the record before the frame: phase,
// roughness, amplitude, base, water, haze, light, view, scale, tile, shapes,
// slopes, shadows, threads. frames=K (with fps=F, default 30) runs K animated frames
// of 1/F seconds and writes the last; heights=FILE.pgm also writes the
// landscape's heights as built in that frame (16-bit PGM).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "demo.h"

namespace {

// The landscape's heights as a binary 16-bit PGM, big-endian.
bool write_heights(const rv_Surface *s, const char *path) {
    FILE *out = std::fopen(path, "wb");
    if (!out) return false;
    std::fprintf(out, "P5\n%d %d\n65535\n", s->width, s->height);
    for (int y = 0; y < s->height; ++y)
        for (int x = 0; x < s->width; ++x) {
            const uint16_t z = s->pixels[static_cast<ptrdiff_t>(y) * s->pitch + x].z;
            const uint8_t be[2] = {static_cast<uint8_t>(z >> 8), static_cast<uint8_t>(z)};
            std::fwrite(be, 1, 2, out);
        }
    return std::fclose(out) == 0;
}

// Applies one NAME=VALUE setting; false for an unknown name.
bool apply(rv_Demo *d, const char *name, const char *value, int *frames, double *fps,
           const char **heights) {
    const double v = std::strtod(value, nullptr);
    const auto f = static_cast<float>(v);
    const int32_t i = rv_DemoReadValue(value);
    struct { const char *name; float *field; } reals[] = {
        {"roughness", &d->terrain_roughness}, {"amplitude", &d->terrain_amplitude},
        {"base", &d->terrain_base}, {"water", &d->water_level}, {"haze", &d->haze},
        {"light", &d->light_angle}, {"view", &d->view_angle}};
    for (auto &r : reals)
        if (std::strcmp(name, r.name) == 0) return *r.field = f, true;
    struct { const char *name; int32_t *field; } ints[] = {
        {"scale", &d->display_scale}, {"tile", &d->tile_size}, {"shapes", &d->shapes},
        {"slopes", &d->slopes}, {"shadows", &d->shadows}, {"threads", &d->threads}};
    for (auto &n : ints)
        if (std::strcmp(name, n.name) == 0) return *n.field = i, true;
    if (std::strcmp(name, "phase") == 0) return d->phase = v, true;
    if (std::strcmp(name, "frames") == 0) return *frames = i, true;
    if (std::strcmp(name, "fps") == 0) return *fps = v, true;
    if (std::strcmp(name, "heights") == 0) return *heights = value, true;
    return false;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT MODE OUT.ppm [NAME=VALUE...]\n", argv[0]);
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE);
    std::atexit(SDL_Quit);
    rv_Demo demo;
    rv_DemoLoop loop;
    rv_DemoDefaults(&demo, &loop);
    std::string w = std::string("-w") + argv[1], h = std::string("-h") + argv[2];
    char *args[] = {argv[0], w.data(), h.data()};
    if (rv_DemoStart(&demo, &loop, 3, args) != 0) return 1;

    uint8_t keys[SDLK_LAST] = {};
    rv_DemoStopIntro(&demo);
    demo.display_mode = rv_DemoReadValue(argv[3]) & 3;
    int frames = 0;
    double fps = 30.0;
    const char *heights = nullptr;
    for (int i = 5; i < argc; ++i) {
        const char *eq = std::strchr(argv[i], '=');
        const std::string name = eq ? std::string(argv[i], static_cast<size_t>(eq - argv[i])) : argv[i];
        if (!eq || !apply(&demo, name.c_str(), eq + 1, &frames, &fps, &heights)) {
            std::fprintf(stderr, "%s: unknown setting '%s'\n", argv[0], argv[i]);
            return 2;
        }
    }
    if (rv_SetThreads(loop.context, demo.threads) != 0) {
        std::fprintf(stderr, "%s: threads=%d cannot be had\n", argv[0], demo.threads);
        return 2;
    }
    if (frames > 0) {
        demo.animate = 1;
        for (int k = 0; k < frames; ++k) rv_DemoFrame(&demo, &loop, keys, static_cast<float>(1.0 / fps));
        // The animated frame built into the view, which its display has since
        // changed; the same settings and phase build the same heights.
        if (heights) rv_DemoBuildLandscape(&demo, &loop, demo.scene);
    } else {
        rv_DemoFrame(&demo, &loop, keys, 0.0f);
    }
    if (heights && !write_heights(demo.scene, heights)) return 1;

    SDL_Surface *s = demo.screen;
    FILE *out = std::fopen(argv[4], "wb");
    if (!out) return 1;
    std::fprintf(out, "P6\n%d %d\n255\n", s->w, s->h);
    const int bpp = s->format->BytesPerPixel;
    const int r = s->format->Rshift / 8, g = s->format->Gshift / 8, b = s->format->Bshift / 8;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y) {
        const auto *row = static_cast<const uint8_t *>(s->pixels) + static_cast<ptrdiff_t>(y) * s->pitch;
        for (int x = 0; x < s->w; ++x) {
            const uint8_t *p = row + x * bpp;
            const uint8_t rgb[3] = {p[r], p[g], p[b]};
            std::fwrite(rgb, 1, 3, out);
        }
    }
    SDL_UnlockSurface(s);
    rv_DemoRelease(&demo, &loop);
    return std::fclose(out) == 0 ? 0 : 1;
}
