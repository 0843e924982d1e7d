// The random generator's arithmetic, written once for the plain draw
// (V = uint32_t) and the bulk draws (V = a vector of 32-bit lanes). Included
// inside its user's namespace (see core/lanes.h). Templates only.

// The affine step x -> m x + c modulo 2^32: generator A's step, generator B's
// usual one, and either of them taken k times over.
template <typename V>
RELVANE_FORMULA V affine_step(V x, V m, V c) {
    return Add(Mul(x, m), c);
}

// Generator A's output, from its new state.
template <typename V>
RELVANE_FORMULA V output_a(V a) {
    return Mul(a, ShiftRight<16>(a));
}

// The two outputs' quotients by the range's divisor weighed wa : wb (which
// add up to 16383, or are both 0 for an empty range), scaled back to the
// range. Both products wrap modulo 2^32 as the plain code's do.
template <typename V>
RELVANE_FORMULA V blend_quotients(V qa, V qb, V wa, V wb) {
    return ShiftRight<14>(Add(Mul(qa, wa), Mul(qb, wb)));
}
