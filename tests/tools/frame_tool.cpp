// Writes the frame the test program shows once its opening move has ended
// (view straight down, light at 45 degrees, every other setting at its start
// value) in a given display mode, as a binary PPM. Used by the end-to-end
// checks to compare the real window against the same engine calls.
//   relvane-frame WIDTH HEIGHT MODE OUT.ppm
#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo.h"

int main(int argc, char **argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT MODE OUT.ppm\n", argv[0]);
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
    rv_DemoFrame(&demo, &loop, keys, 0.0f);

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
