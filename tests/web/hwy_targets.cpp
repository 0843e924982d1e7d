// Highway's target functions for a build of one target chosen when
// compiling (the web build has Highway's headers, not its library): the
// per-target test harness asks which targets run and forces each in turn.
#include <hwy/targets.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace hwy {

int64_t SupportedTargets() { return HWY_STATIC_TARGET; }

void SetSupportedTargetsForTest(int64_t) {}  // the one target is always in force

HWY_NORETURN void HWY_FORMAT(3, 4) Abort(const char *file, int line, const char *format, ...) {
    std::fprintf(stderr, "Abort at %s:%d: ", file, line);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::abort();
}

}  // namespace hwy
