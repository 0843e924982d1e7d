/* Engine context: scratch spans and the seedable random generator. */
#ifndef RELVANE_CORE_CONTEXT_H
#define RELVANE_CORE_CONTEXT_H

#include <stdint.h>

#include "pixel.h"

#ifdef __cplusplus
extern "C" {
#endif
#if defined(__GNUC__)
#pragma GCC visibility push(default) /* exported however the engine is compiled */
#endif

/* Shared state of one engine instance. Reference-counted: the creator,
 * every surface and every pipe made with it hold one reference each; the
 * last rv_FreeContext frees it. One caller at a time: a context, its
 * surfaces and pipes are used from one thread of the caller's, which may
 * share an operation with worker threads (rv_SetThreads). */
typedef struct rv_Context {
    int32_t span_size;     /* pixels held by each scratch span (>= widest surface) */
    rv_Pixel *source_span; /* shapes compose one run of source pixels here */
    rv_Pixel *work_span;   /* pipe stages keep per-pixel working values here */
    int32_t refcount;      /* number of holders */
    uint32_t random_a;     /* state of random generator A */
    uint32_t random_b;     /* state of random generator B */
    uint32_t random_mix;   /* weight of generator A, 0..16384 */
    int32_t threads;       /* threads operations may use, the caller's included (rv_SetThreads) */
} rv_Context;

/* New context with one reference (the caller's, given back with
 * rv_FreeContext) and 100-pixel spans; random state all zero until
 * rv_ResetRandom. Null when out of memory. */
rv_Context *rv_NewContext(void);

/* Releases one reference; the last release frees the spans and the record.
 * Surfaces and pipes keep the context alive, so they may be freed after it. */
void rv_FreeContext(rv_Context *context);

/* Grows both scratch spans to hold at least count pixels (never shrinks;
 * count <= span_size does nothing). New spans are zeroed; growing frees the
 * old ones, so pipes of this context must be re-assembled (any setter) before
 * they run again. Returns 0, or -1 when memory ran out, in which case the
 * previous spans and span_size are kept unchanged. */
int32_t rv_ReserveScratch(rv_Context *context, int32_t count);

/* Restarts the random sequence with generator A weighted by mix (0.0..1.0,
 * clamped; NaN counts as 0; stored as a weight out of 16384). The same mix
 * always gives the same sequence. */
void rv_ResetRandom(rv_Context *context, double mix);

/* Next random value in 0..range-1 (for range up to 262160). Both generators
 * advance on every call. A range of 0 returns 0; a mix of 16384 weighs as
 * 16383 so that the result stays in range. */
uint32_t rv_Random(rv_Context *context, uint32_t range);

/* Sets how many threads operations on this context's surfaces and pipes may
 * use, the calling thread included: 1 (the default) runs everything on the
 * caller's thread; 0 means one per processor available to the process.
 * Results are the same bytes at every count. Returns 0; returns -1 and keeps
 * the previous count for a negative count, or for a count above 1 where the
 * build has no threads (there 0 gives 1). */
int32_t rv_SetThreads(rv_Context *context, int32_t count);

/* The thread count in force: what rv_SetThreads set, 0 resolved. */
int32_t rv_GetThreads(const rv_Context *context);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
#ifdef __cplusplus
}
#endif

#endif
