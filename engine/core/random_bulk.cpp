// The plain kernel of the bulk draws: one draw after another.
#include "random_bulk.h"

#include "random_draw.h"

RELVANE_PLAIN_KERNEL(random_displacements) {
    const relvane::ExactDivisor e = relvane::exact_divisor(relvane::random_divisor(static_cast<uint32_t>(2 * a)));
    for (size_t i = 0; i < n; i++) out[i] = relvane::random_displacement(c, a, e);
}
