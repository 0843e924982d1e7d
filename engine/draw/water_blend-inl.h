// The water blend, written once for the plain code (V = uint32_t) and the
// fast path (V = a vector of 32-bit lanes). Like every shared formula it is
// included inside its user's namespace: once by the plain code, and once per
// vector target by the fast path, so that each copy is compiled for the
// target that calls it (see core/lanes.h). Templates only.

// Weight of the water (alpha at the level, f per z unit of depth out of
// 65536, held to full = 256) over a pixel at height z; 0 where above.
// f * (level - z) <= 65536 * 65535 fits 32 bits.
template <typename V, typename M>
RELVANE_FORMULA V water_weight(V z, M above, V level, V alpha, V f, V full) {
    return IfThenZeroElse(above, Min(Add(alpha, ShiftRight<16>(Mul(f, Sub(level, z)))), full));
}

// One channel (or the light) moved towards the water's by weight alpha;
// beta = 256 - alpha.
template <typename V>
RELVANE_FORMULA V water_mix(V water, V under, V alpha, V beta) {
    return ShiftRight<8>(Add(Mul(water, alpha), Mul(under, beta)));
}
