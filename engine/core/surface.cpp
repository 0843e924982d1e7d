// Surfaces, sub-surfaces and the clip rule of rectangle operations.
#include "surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" {

rv_Surface *rv_NewSurface(rv_Context *context, int32_t width, int32_t height) {
    if (width < 0 || height < 0) return nullptr;
    // A byte count that pointers cannot span is refused before the spans
    // grow; the allocator would only be asked to overflow.
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (count > static_cast<size_t>(PTRDIFF_MAX) / sizeof(rv_Pixel)) return nullptr;
    auto *s = static_cast<rv_Surface *>(std::calloc(1, sizeof(rv_Surface)));
    if (!s) return nullptr;
    if (rv_ReserveScratch(context, width) != 0) {
        std::free(s);
        return nullptr;
    }
    s->refcount = 1;
    s->context = context;
    // An empty surface still gets a valid (one-pixel) array so that its
    // pointer is never null.
    s->pixels = static_cast<rv_Pixel *>(std::calloc(std::max<size_t>(count, 1), sizeof(rv_Pixel)));
    if (!s->pixels) {
        std::free(s);
        return nullptr;
    }
    s->width = width;
    s->height = height;
    s->pitch = width;
    s->flags = RV_SURFACE_OWNS_PIXELS;
    context->refcount++;
    return s;
}

// A sub-surface must lie wholly inside its parent, so that it can never
// address memory outside the root's pixel array: anything else is refused.
rv_Surface *rv_NewSubSurface(rv_Surface *parent, const rv_Rect *rect) {
    if (!rect) return nullptr;
    const int64_t right = int64_t{rect->x} + rect->w;
    const int64_t bottom = int64_t{rect->y} + rect->h;
    if (rect->x < 0 || rect->y < 0 || rect->w < 0 || rect->h < 0 || right > parent->width ||
        bottom > parent->height)
        return nullptr;
    auto *s = static_cast<rv_Surface *>(std::calloc(1, sizeof(rv_Surface)));
    if (!s) return nullptr;
    s->context = parent->context;
    s->pitch = parent->pitch;
    s->width = rect->w;
    s->height = rect->h;
    s->flags = 0;
    s->refcount = 1;
    s->pixels = parent->pixels + (static_cast<ptrdiff_t>(rect->y) * parent->pitch + rect->x);
    s->parent = parent;
    parent->refcount++;
    parent->context->refcount++;
    return s;
}

void rv_FreeSurface(rv_Surface *surface) {
    if (--surface->refcount > 0) return;
    rv_Context *context = surface->context;
    if (surface->flags & RV_SURFACE_OWNS_PIXELS)
        std::free(surface->pixels);
    else
        rv_FreeSurface(surface->parent);
    rv_FreeContext(context);
    std::free(surface);
}

rv_Rect rv_ClipRect(const rv_Surface *surface, rv_Rect *rect) {
    if (!rect) return rv_Rect{0, 0, surface->width, surface->height};
    // Edges in 64 bits: a rectangle near the ends of the 32-bit range must
    // not wrap into the surface.
    int64_t right = int64_t{rect->x} + rect->w;
    int64_t bottom = int64_t{rect->y} + rect->h;
    if (rect->x < 0) rect->x = 0;
    if (rect->y < 0) rect->y = 0;
    right = std::min<int64_t>(right, surface->width);
    bottom = std::min<int64_t>(bottom, surface->height);
    const int64_t w = right - rect->x;
    rect->w = static_cast<int32_t>(std::max<int64_t>(w, INT32_MIN));
    if (rect->w == 0) return rv_Rect{rect->x, rect->y, 0, 0};
    const int64_t h = bottom - rect->y;
    rect->h = static_cast<int32_t>(std::max<int64_t>(h, INT32_MIN));
    return *rect;
}

}  // extern "C"
