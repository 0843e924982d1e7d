// Context lifetime and scratch spans.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "relvane.h"

TEST(Context, StartsWithHundredPixelZeroedSpansAndZeroRandomState) {
    rv_Context *c = rv_NewContext();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->span_size, 100);
    EXPECT_EQ(c->refcount, 1);
    EXPECT_EQ(c->random_a, 0u);
    EXPECT_EQ(c->random_b, 0u);
    EXPECT_EQ(c->random_mix, 0u);
    const auto *bytes = reinterpret_cast<const unsigned char *>(c->work_span);
    for (int i = 0; i < 100 * 8; ++i) ASSERT_EQ(bytes[i], 0) << i;
    rv_FreeContext(c);
}

TEST(Context, SpansGrowWithTheWidestSurfaceAndNeverShrink) {
    rv_Context *c = rv_NewContext();
    rv_Surface *wide = rv_NewSurface(c, 640, 2);
    EXPECT_EQ(c->span_size, 640);
    rv_Surface *narrow = rv_NewSurface(c, 320, 2);
    EXPECT_EQ(c->span_size, 640);
    EXPECT_EQ(rv_ReserveScratch(c, 0), 0);
    EXPECT_EQ(rv_ReserveScratch(c, -7), 0);
    EXPECT_EQ(c->span_size, 640);
    rv_FreeSurface(narrow);
    rv_FreeSurface(wide);
    rv_FreeContext(c);
}

TEST(Context, GrownSpansAreZeroed) {
    rv_Context *c = rv_NewContext();
    c->work_span[5].light = 77;
    ASSERT_EQ(rv_ReserveScratch(c, 1000), 0);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(c->work_span[i].light, 0);
        ASSERT_EQ(c->source_span[i].z, 0);
    }
    rv_FreeContext(c);
}

namespace {

// Limits further growth of the address space to headroom bytes.
void cap_address_space(long headroom) {
    long size_kb = 0;
    if (FILE *f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmSize: %ld kB", &size_kb) == 1) break;
        std::fclose(f);
    }
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(size_kb) * 1024 + headroom;
    setrlimit(RLIMIT_AS, &limit);
}

}  // namespace

// A reserve that cannot be met keeps the spans it had, so no later call
// sees a span shorter than span_size, and a later reserve tries again.
// Run in a child whose address space is capped, so that the allocation
// really fails whatever the machine's overcommit policy.
TEST(ContextDeathTest, FailedReserveKeepsTheOldSpans) {
    EXPECT_EXIT(
        {
            rv_Context *c = rv_NewContext();
            rv_Pixel *source = c->source_span;
            rv_Pixel *work = c->work_span;
            cap_address_space(1 << 30);
            const bool kept = rv_ReserveScratch(c, INT32_MAX) == -1 && c->span_size == 100 &&
                              c->source_span == source && c->work_span == work;
            const bool retried = rv_ReserveScratch(c, 200) == 0 && c->span_size == 200;
            rv_FreeContext(c);
            std::exit(kept && retried ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Context, EveryHolderCountsAndTheLastReleaseFrees) {
    rv_Context *c = rv_NewContext();
    rv_Surface *a = rv_NewSurface(c, 4, 4);
    rv_Surface *b = rv_NewSurface(c, 4, 4);
    rv_Pipe *p = rv_NewPipe(c);
    EXPECT_EQ(c->refcount, 4);
    rv_FreeContext(c);  // creator first; the others keep it alive
    rv_FreeSurface(a);
    rv_FreePipe(p);
    EXPECT_EQ(c->refcount, 1);
    rv_FreeSurface(b);  // last release: ASan reports a leak if this did not free
}
