/* The pixel pipe: a configurable chain of span stages through which shapes
 * write their runs of source pixels into a surface. */
#ifndef RELVANE_PIPE_PIPE_H
#define RELVANE_PIPE_PIPE_H

#include <stdint.h>

#include "../core/context.h"
#include "../core/pixel.h"
#include "stage_list.h"

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__)
#pragma GCC visibility push(default) /* exported however the engine is compiled */
#endif

/* Height operation, bits 0-1: the new height from destination and source z. */
#define RV_PIPE_Z_MASK            0x3u
#define RV_PIPE_Z_SET             0x0u /* source z */
#define RV_PIPE_Z_ADD             0x1u /* dst + src, held at 65535 */
#define RV_PIPE_Z_SUB             0x2u /* dst - src, held at 0 */
#define RV_PIPE_Z_MUL             0x3u /* dst x src / 4096 (4096 = 1.0), low 16 bits */
/* Height test, bits 2-3 (0 and 0xC: no test); equal heights pass both. */
#define RV_PIPE_ZTEST_MASK        0xCu
#define RV_PIPE_ZTEST_ABOVE       0x4u /* draw where new z >= dst z */
#define RV_PIPE_ZTEST_BELOW       0x8u /* draw where new z <= dst z */
/* Colour source, bits 4-7: only 0 assembles. */
#define RV_PIPE_COLOUR_MASK       0xF0u
#define RV_PIPE_COLOUR_SRC        0x00u /* colour of the source pixels */
/* Alpha source, bits 8-9: the blend weight of the writes, 0..255
 * (0x300: no alpha stage). */
#define RV_PIPE_ALPHA_MASK        0x300u
#define RV_PIPE_ALPHA_CONST       0x000u /* the pipe's alpha */
#define RV_PIPE_ALPHA_SRC         0x100u /* source alpha x alpha / 256 */
#define RV_PIPE_ALPHA_DST         0x200u /* destination alpha x alpha / 256 */
/* Light source, bits 10-11: the light the colour is multiplied by, 256 =
 * unity (0xC00: no light stage). */
#define RV_PIPE_LIGHT_MASK        0xC00u
#define RV_PIPE_LIGHT_CONST       0x000u /* the pipe's light */
#define RV_PIPE_LIGHT_SRC         0x400u /* source light x light / 256 */
#define RV_PIPE_LIGHT_DST         0x800u /* destination light x light / 256 */
/* Colour channel writes, bits 12-14: each channel becomes
 * (colour x light x alpha / 256 + dst x (255 - alpha)) / 256, held at 255. */
#define RV_PIPE_WRITE_RED         0x1000u
#define RV_PIPE_WRITE_GREEN       0x2000u
#define RV_PIPE_WRITE_BLUE        0x4000u
#define RV_PIPE_WRITE_RGB         0x7000u
/* Alpha write, bits 16-19, of the alpha source's value (others: not written). */
#define RV_PIPE_ALPHA_WRITE_MASK  0xF0000u
#define RV_PIPE_ALPHA_WRITE_SET   0x10000u /* dst alpha = alpha */
#define RV_PIPE_ALPHA_WRITE_ADD   0x20000u /* dst + alpha, held at 255 */
#define RV_PIPE_ALPHA_WRITE_SUB   0x30000u /* dst - alpha, held at 0 */
#define RV_PIPE_ALPHA_WRITE_MUL   0x40000u /* dst x alpha / 256 */
/* Light write, bits 20-23, of the light source's value (others: not written). */
#define RV_PIPE_LIGHT_WRITE_MASK  0xF00000u
#define RV_PIPE_LIGHT_WRITE_SET   0x100000u /* dst light = light */
#define RV_PIPE_LIGHT_WRITE_ADD   0x200000u /* dst + light, held at 65535 */
#define RV_PIPE_LIGHT_WRITE_SUB   0x300000u /* dst - light, held at 0 */
#define RV_PIPE_LIGHT_WRITE_MUL   0x400000u /* dst x light / 256, low 16 bits */
#define RV_PIPE_LIGHT_WRITE_BLEND 0x500000u /* (light x alpha + dst x (255 - alpha)) / 256 */
/* Terminal: write the new height (clear: heights only tested). */
#define RV_PIPE_WRITE_Z           0x1000000u

/* Number of stage slots in a pipe (at most 9 are ever filled). */
#define RV_PIPE_SLOTS 10

struct rv_Pipe;

/* One stage: processes count pixels (none for count <= 0), then (unless a
 * terminal) calls the stage in slot index + 1 with the same arguments. A
 * caller may put stages of its own into the slots; the chain must still end
 * with a stage that calls nothing. */
typedef void (*rv_PipeStage)(struct rv_Pipe *pipe, int32_t index, const rv_Pixel *src,
                             rv_Pixel *dst, int32_t count);

/* A pipe belongs to one context and holds one reference on it. Create it
 * after the context's surfaces; it runs one run at a time. */
typedef struct rv_Pipe {
    rv_Context *context;  /* owning context (one reference held) */
    uint32_t flags;       /* flag word, RV_PIPE_* */
    int32_t alpha;        /* alpha parameter, 255 = 1.0 (not clamped) */
    int32_t light;        /* light parameter, 256 = 1.0 (not clamped) */
    rv_Pixel *work;       /* work span of the run in progress (the context's) */
    int32_t nstages;      /* filled slots of stages */
    rv_PipeStage stages[RV_PIPE_SLOTS]; /* assembled chain, slot 0 first */
    const void *fused;    /* private to the assembly: its one-pass form of the
                           * chain, used only while the slots hold what the
                           * assembly wrote (null: none) */
} rv_Pipe;

/* New pipe for context with the defaults (flags 0x1007004: z set, test
 * above, RGB and z written; alpha 255, light 256); null when out of memory.
 * Holds one context reference; the caller frees it with rv_FreePipe. */
rv_Pipe *rv_NewPipe(rv_Context *context);
/* Releases the context reference and frees the pipe. */
void rv_FreePipe(rv_Pipe *pipe);

/* Setters: replace their field of flags (mode given in position), store the
 * scaled parameter, and re-assemble. Each returns rv_BuildPipe's result.
 * The parameter is alpha x 255.0 or light x 256.0 truncated toward zero and
 * not clamped to its scale; NaN stores 0 and products beyond the 32-bit
 * signed range saturate to INT32_MIN / INT32_MAX. The stages take the stored
 * value as its 32-bit pattern: unsigned products wrap modulo 2^32 and the low
 * 8 or 16 bits of the shifted result are kept. */
/* Height operation and test: RV_PIPE_Z_* | RV_PIPE_ZTEST_* (bits 0-3). */
int32_t rv_PipeSetZMode(rv_Pipe *pipe, uint32_t mode);
/* Colour source (bits 4-7): only RV_PIPE_COLOUR_SRC (0) assembles. */
int32_t rv_PipeSetColourMode(rv_Pipe *pipe, uint32_t mode);
/* Alpha source RV_PIPE_ALPHA_* and alpha 0.0..1.0 (stored x 255). */
int32_t rv_PipeSetAlpha(rv_Pipe *pipe, uint32_t mode, double alpha);
/* Light source RV_PIPE_LIGHT_* and light, 1.0 = unity (stored x 256). */
int32_t rv_PipeSetLight(rv_Pipe *pipe, uint32_t mode, double light);
/* Replaces all write bits at once: RV_PIPE_WRITE_RED/GREEN/BLUE,
 * RV_PIPE_ALPHA_WRITE_*, RV_PIPE_LIGHT_WRITE_* and RV_PIPE_WRITE_Z. */
int32_t rv_PipeSetWrite(rv_Pipe *pipe, uint32_t flags);

/* Assembles the stage chain from flags: 0, or -1 for a non-zero colour
 * source (the pipe then writes nothing until an assembly succeeds). */
int32_t rv_BuildPipe(rv_Pipe *pipe);

/* Writes count source pixels into dst through the chain: calls slot 0 with
 * (pipe, 0, src, dst, count), whatever the slots hold, so a caller may fill
 * them with stages of its own. Reads the context's current work span. A
 * count of 0 or less reaches the stages too: they write nothing, the height
 * tests end the chain at once and the others pass the call on. Does nothing
 * for a count above the context's span_size, nstages outside 1..RV_PIPE_SLOTS,
 * or while the colour source is not 0 (the last assembly then failed).
 * Without an alpha or light source stage the writes use what the work span
 * holds: zero in fresh spans, afterwards what earlier runs left. */
void rv_RunPipe(rv_Pipe *pipe, const rv_Pixel *src, rv_Pixel *dst, int32_t count);

/* The stages, one function each, declared from the list in stage_list.h,
 * which says what each does and which flags select it; rv_BuildPipe picks
 * them from flags. Each processes the whole run, then (unless a terminal)
 * calls slot index + 1. */
#define RV_PIPE_DECLARE_STAGE(Name, field, first, last, path)                                      \
    void rv_Stage##Name(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst,          \
                        int32_t count);
RV_PIPE_STAGE_LIST(RV_PIPE_DECLARE_STAGE)
#undef RV_PIPE_DECLARE_STAGE

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif
