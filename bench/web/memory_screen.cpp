// The WebAssembly bench's screens. Under node Emscripten's SDL has no
// canvas to hand out, so the screen is built in memory with the layout of
// the page's canvas: 32 bits a pixel, red, green and blue in bytes 0, 1 and
// 2, the masks filled in and every shift left at 0, as that SDL leaves them.
// Locking such a screen has nothing to copy, so the lock and the free are
// this program's own.
#include <SDL.h>

#include <cstdlib>
#include <new>

#include "bench_support.h"

namespace {

struct MemoryScreen {
    SDL_Surface surface{};
    SDL_PixelFormat format{};
};

}  // namespace

namespace bench {

SDL_Surface *new_screen(int32_t surface_width, int32_t surface_height) {
    auto *s = new (std::nothrow) MemoryScreen;
    if (s == nullptr) return nullptr;
    const int w = surface_width - 1, h = surface_height - 1;
    s->format.BitsPerPixel = 32;
    s->format.BytesPerPixel = 4;
    s->format.Rmask = 0x000000FFu;
    s->format.Gmask = 0x0000FF00u;
    s->format.Bmask = 0x00FF0000u;
    s->format.Amask = 0xFF000000u;
    s->surface.format = &s->format;
    s->surface.w = w;
    s->surface.h = h;
    s->surface.pitch = w * 4;
    s->surface.pixels = std::calloc(size_t(w) * size_t(h), 4);
    s->surface.clip_rect = SDL_Rect{0, 0, w, h};
    s->surface.refcount = 1;
    return &s->surface;
}

}  // namespace bench

extern "C" {

int SDL_LockSurface(SDL_Surface *) { return 0; }
void SDL_UnlockSurface(SDL_Surface *) {}

void SDL_FreeSurface(SDL_Surface *surface) {
    if (surface == nullptr) return;
    std::free(surface->pixels);
    delete reinterpret_cast<MemoryScreen *>(surface);
}

}
