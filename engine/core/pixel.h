/* Pixel and rectangle records shared by every part of the engine. */
#ifndef RELVANE_CORE_PIXEL_H
#define RELVANE_CORE_PIXEL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One surface pixel, 8 bytes, fields at fixed byte positions.
 * Colour bytes 0-2, alpha 255 = opaque, light 256 = unity,
 * z = height in 1/256 units (0..65535). 16-bit fields in host order. */
typedef struct rv_Pixel {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t alpha;
    uint16_t light;
    uint16_t z;
} rv_Pixel;

/* A rectangle of pixels: top-left (x, y), width w, height h. */
typedef struct rv_Rect {
    int32_t x;
    int32_t y;
    int32_t w;
    int32_t h;
} rv_Rect;

/* Field mask selecting rv_Pixel fields (fill and copy operations).
 * Only the low six bits count. */
#define RV_FIELD_RED   0x01u
#define RV_FIELD_GREEN 0x02u
#define RV_FIELD_BLUE  0x04u
#define RV_FIELD_ALPHA 0x08u
#define RV_FIELD_LIGHT 0x10u
#define RV_FIELD_Z     0x20u
#define RV_FIELD_ALL   0x3Fu

#ifdef __cplusplus
}
#endif

#endif
