// The colour write's blend of one channel, written once for the plain stage
// (V = uint32_t) and the fast paths (V = a vector of 32-bit lanes). Included
// inside its user's namespace (see core/lanes.h); templates only.

// Channel s over d with light i and alpha a (v255 = 255): s x i x a stays
// below 2^32 (255 x 65535 x 255), so nothing wraps; t > 65535 exactly when
// t >> 8 exceeds 255, so the minimum is the saturation.
template <typename V>
RELVANE_FORMULA V colour_blend(V s, V d, V i, V a, V v255) {
    const V t = Add(ShiftRight<8>(Mul(Mul(s, i), a)), Mul(d, Sub(v255, a)));
    return Min(ShiftRight<8>(t), v255);
}
