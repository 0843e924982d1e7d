// The colour write's blend, written once for the plain stage
// (V = uint32_t) and the fast paths (V = a vector of 32-bit lanes). Included
// inside its user's namespace (see core/lanes.h); templates only.

// Channel s over d with light and alpha (v255 = 255): s x light x alpha stays
// below 2^32 (255 x 65535 x 255), so nothing wraps; t > 65535 exactly when
// t >> 8 exceeds 255, so the minimum is the saturation.
template <typename V>
RELVANE_FORMULA V colour_blend(V s, V d, V light, V alpha, V v255) {
    const V t = Add(ShiftRight<8>(Mul(Mul(s, light), alpha)), Mul(d, Sub(v255, alpha)));
    return Min(ShiftRight<8>(t), v255);
}

// The three channels of colour word s (red in the low byte) over d's, in
// bytes 0-2 of the result; byte 3 is zero.
template <typename V>
RELVANE_FORMULA V colour_blend_rgb(V s, V d, V light, V alpha, V v255) {
    const V r = colour_blend(And(s, v255), And(d, v255), light, alpha, v255);
    const V g = colour_blend(And(ShiftRight<8>(s), v255), And(ShiftRight<8>(d), v255), light, alpha, v255);
    const V b = colour_blend(And(ShiftRight<16>(s), v255), And(ShiftRight<16>(d), v255), light, alpha, v255);
    return Or(r, Or(ShiftLeft<8>(g), ShiftLeft<16>(b)));
}
