/* Pixel and rectangle records shared by every part of the engine. */
#ifndef RELVANE_CORE_PIXEL_H
#define RELVANE_CORE_PIXEL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One surface pixel, 8 bytes, fields at fixed byte positions; 16-bit fields
 * in host byte order. An all-zero pixel is black, transparent, unlit and at
 * height 0. */
typedef struct rv_Pixel {
    uint8_t red;    /* byte 0, colour 0..255 */
    uint8_t green;  /* byte 1 */
    uint8_t blue;   /* byte 2 */
    uint8_t alpha;  /* byte 3, coverage: 255 = opaque, 0 = transparent */
    uint16_t light; /* bytes 4-5, brightness: 256 = unity, shown as colour x light / 256 */
    uint16_t z;     /* bytes 6-7, height in 1/256 units (0..65535; whole units in the top byte) */
} rv_Pixel;

/* A rectangle of pixels. Operations that take one clip it to their surface
 * in place (rv_ClipRect), so the caller's record may change. */
typedef struct rv_Rect {
    int32_t x; /* left column */
    int32_t y; /* top row (row 0 is the top of the picture) */
    int32_t w; /* width in pixels; 0 or less covers nothing */
    int32_t h; /* height in pixels; 0 or less covers nothing */
} rv_Rect;

/* Field mask selecting rv_Pixel fields (rv_FillRect, rv_CopyRect), one bit
 * per field. Only the low six bits count; 0 selects nothing. */
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
