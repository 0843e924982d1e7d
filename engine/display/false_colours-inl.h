// The false colours of the height, light and profile views, written once for
// the plain code (32-bit integers) and the display fast paths (32-bit signed
// lanes). Included inside its user's namespace (see core/lanes.h); templates
// only. Every channel comes out as 0..255.

// Height ramp over the index i = min(q, 1023), q >= 0 the scaled height:
// black, blue, green, yellow, white in four 256-step segments, each channel a
// clamped straight line of i. Above the ramp (q > 1023) red and blue already
// reach 255, green is cut to 0: magenta.
template <typename V>
RELVANE_FORMULA V ramp_byte(V v, V zero, V c255) {
    return Min(Max(v, zero), c255);
}
template <typename V>
RELVANE_FORMULA V height_red(V i, V c512, V zero, V c255) {
    return ramp_byte(Sub(i, c512), zero, c255);
}
template <typename V, typename M>
RELVANE_FORMULA V height_green(M above, V i, V c256, V zero, V c255) {
    return IfThenZeroElse(above, ramp_byte(Sub(i, c256), zero, c255));
}
template <typename V>
RELVANE_FORMULA V height_blue(V i, V c511, V c768, V zero) {
    return Max(Max(Min(i, Sub(c511, i)), zero), Sub(i, c768));
}

// Light 0..65535: black to green up to 255, green to yellow up to 511, white
// above (bright marks where light > 511).
template <typename V>
RELVANE_FORMULA V light_red(V light, V c256, V zero, V c255) {
    return ramp_byte(Sub(light, c256), zero, c255);
}
template <typename V>
RELVANE_FORMULA V light_green(V light, V c255) {
    return Min(light, c255);
}
template <typename V, typename M>
RELVANE_FORMULA V light_blue(M bright, V c255) {
    return IfThenElseZero(bright, c255);
}

// Row k of a band n rows high (1 <= n <= 32768) over a height z: the graph
// is filled (255) above the line the height reaches, empty below it, and the
// row the line falls in is shaded by where in the row it falls.
// n * (65535 - z) < 2^31.
template <typename V>
RELVANE_FORMULA V profile_green(V z, V n, V k, V c65535, V c255, V c256) {
    const V depth = ShiftRight<8>(Mul(n, Sub(c65535, z)));
    const V line = ShiftRight<8>(depth);
    const V edge = Min(Sub(c256, And(depth, c255)), c255);  // 256 - f, and 255 where f = 0
    return IfThenElse(Lt(line, k), c255, IfThenZeroElse(Gt(line, k), edge));
}
