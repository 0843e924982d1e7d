// Engine context: reference count, scratch spans and the random generator.
#include "context.h"

#include <cstdlib>

#include "random_draw.h"
#include "threads.h"

extern "C" {

rv_Context *rv_NewContext(void) {
    auto *c = static_cast<rv_Context *>(std::calloc(1, sizeof(rv_Context)));
    if (!c) return nullptr;
    c->refcount = 1;
    c->threads = 1;
    if (rv_ReserveScratch(c, 100) != 0) {
        std::free(c);
        return nullptr;
    }
    return c;
}

void rv_FreeContext(rv_Context *context) {
    if (--context->refcount > 0) return;
    std::free(context->source_span);
    std::free(context->work_span);
    std::free(context);
}

// Both new spans are allocated before the old ones go, so a failure leaves
// the context exactly as it was and a later call simply tries again.
int32_t rv_ReserveScratch(rv_Context *context, int32_t count) {
    if (context->span_size >= count) return 0;
    const size_t n = static_cast<size_t>(count);
    auto *source = static_cast<rv_Pixel *>(std::calloc(n, sizeof(rv_Pixel)));
    auto *work = static_cast<rv_Pixel *>(std::calloc(n, sizeof(rv_Pixel)));
    if (!source || !work) {
        std::free(source);
        std::free(work);
        return -1;
    }
    std::free(context->source_span);
    std::free(context->work_span);
    context->source_span = source;
    context->work_span = work;
    context->span_size = count;
    return 0;
}

void rv_ResetRandom(rv_Context *context, double mix) {
    context->random_a = 16576;
    context->random_b = 16576;
    if (mix < 0.0) {
        context->random_mix = 0;
    } else if (mix > 1.0) {
        context->random_mix = 16384;
    } else {
        // NaN fails both tests above and lands here; it weighs as 0.
        const float scaled = static_cast<float>(mix * 16384.0);
        context->random_mix = scaled >= 0.0f ? static_cast<uint32_t>(scaled) : 0u;
    }
}

uint32_t rv_Random(rv_Context *context, uint32_t range) {
    return relvane::random_draw(context, relvane::random_divisor(range));
}

}  // extern "C"

extern "C" {

int32_t rv_SetThreads(rv_Context *context, int32_t count) {
    if (count < 0) return -1;
    const int32_t resolved = count == 0 ? relvane::processors_available() : count;
    if (resolved > relvane::threads_possible()) return -1;
    context->threads = resolved;
    return 0;
}

int32_t rv_GetThreads(const rv_Context *context) { return relvane::threads_of(context); }

}
