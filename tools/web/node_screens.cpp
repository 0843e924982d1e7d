// Screens for the programs run under node (the fast paths' tests and the
// WebAssembly bench), where Emscripten's SDL has no canvas:
// SDL_CreateRGBSurface's surfaces built in memory with the shifts and the
// row padding SDL 1.2 gives them. Locking has nothing to copy.
#include <SDL.h>

#include <cstdlib>
#include <new>

namespace {

struct MemoryScreen {
    SDL_Surface surface{};
    SDL_PixelFormat format{};
};

Uint8 shift_of(Uint32 mask) { return mask == 0 ? 0 : static_cast<Uint8>(__builtin_ctz(mask)); }

}  // namespace

extern "C" {

SDL_Surface *SDL_CreateRGBSurface(Uint32, int width, int height, int depth, Uint32 r, Uint32 g, Uint32 b,
                                  Uint32 a) {
    if (width < 0 || height < 0 || depth % 8 != 0 || depth < 8 || depth > 32) return nullptr;
    auto *s = new (std::nothrow) MemoryScreen;
    if (s == nullptr) return nullptr;
    SDL_PixelFormat &f = s->format;
    f.BitsPerPixel = static_cast<Uint8>(depth);
    f.BytesPerPixel = static_cast<Uint8>(depth / 8);
    f.Rmask = r, f.Gmask = g, f.Bmask = b, f.Amask = a;
    f.Rshift = shift_of(r), f.Gshift = shift_of(g), f.Bshift = shift_of(b), f.Ashift = shift_of(a);
    s->surface.format = &f;
    s->surface.w = width;
    s->surface.h = height;
    s->surface.pitch = static_cast<Uint16>((width * f.BytesPerPixel + 3) & ~3);
    s->surface.pixels = std::calloc(static_cast<size_t>(s->surface.pitch) * static_cast<size_t>(height) + 1, 1);
    if (s->surface.pixels == nullptr) {
        delete s;
        return nullptr;
    }
    s->surface.clip_rect = SDL_Rect{0, 0, static_cast<Uint16>(width), static_cast<Uint16>(height)};
    s->surface.refcount = 1;
    return &s->surface;
}

int SDL_LockSurface(SDL_Surface *) { return 0; }
void SDL_UnlockSurface(SDL_Surface *) {}

void SDL_FreeSurface(SDL_Surface *surface) {
    if (surface == nullptr) return;
    std::free(surface->pixels);
    delete reinterpret_cast<MemoryScreen *>(surface);
}

}
