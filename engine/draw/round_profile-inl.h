// The round shapes' height profiles, written once for the plain code (V =
// float, W = double) and the fast paths (vectors of those lanes). Included
// inside its user's namespace (see core/lanes.h); templates only. Every step
// is rounded in the precision of its type, in the order written; the result
// is then truncated and held to 0..65535 by the caller.

// Distance from the centre of a pixel dx to the side on a row dy2 = dy * dy
// from the centre.
template <typename V>
RELVANE_FORMULA V centre_distance(V dx, V dy2) {
    return Sqrt(Add(Mul(dx, dx), dy2));
}

// Cone: top - (h * d) / r, top = zb + h.
template <typename V>
RELVANE_FORMULA V cone_height(V d, V top, V h, V r) {
    return Sub(top, Div(Mul(h, d), r));
}

// Dome: k * sqrt(r2 - d * d) + zb. Outside the circle the root of the
// negative difference is NaN, which stores 0 whatever k and zb are.
template <typename V>
RELVANE_FORMULA V dome_height(V d, V k, V r2, V zb) {
    return Add(Mul(k, Sqrt(Sub(r2, Mul(d, d)))), zb);
}

// Paraboloid, in single precision: t = ((r - d * d / r) * h) / r ...
template <typename V>
RELVANE_FORMULA V paraboloid_fall(V d, V r, V h) {
    return Div(Mul(Sub(r, Div(Mul(d, d), r)), h), r);
}

// ... then t * 256 + zb in double (scale = 256).
template <typename W>
RELVANE_FORMULA W paraboloid_height(W t, W scale, W zb) {
    return Add(Mul(t, scale), zb);
}
