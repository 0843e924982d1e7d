// The water blend, written once for the plain code (V = uint32_t) and the
// fast path (V = a vector of 32-bit lanes). Like every shared formula it is
// included inside its user's namespace: once by the plain code, and once per
// vector target by the fast path, so that each copy is compiled for the
// target that calls it. Include core/lanes.h and core/pixel.h first.

// The water's colour, light and weights, each in every lane.
template <typename V>
struct WaterLanes {
    V red, green, blue, light;
    V alpha;  // weight at the level, out of 256
    V level;  // the water's z
    V f;      // weight gained per z unit below the level, out of 65536
    V full;   // 256
};

// Weight of the water over a pixel at height z: 0 above the level, else the
// level's weight plus f per unit of depth, held to 256.
// f * (level - z) <= 65536 * 65535 fits 32 bits.
template <typename V, typename M>
RELVANE_FORMULA V water_weight(const WaterLanes<V> &w, V z, M above) {
    using namespace ::relvane::lanes;
    return IfThenZeroElse(above, Min(w.alpha + ShiftRight<16>(w.f * (w.level - z)), w.full));
}

// One channel (or the light) moved towards the water's by weight alpha;
// beta = 256 - alpha.
template <typename V>
RELVANE_FORMULA V water_mix(V water, V under, V alpha, V beta) {
    using namespace ::relvane::lanes;
    return ShiftRight<8>(water * alpha + under * beta);
}

// One pixel: the whole blend, for the plain code and the fast path's tails.
inline void water_pixel(const WaterLanes<uint32_t> &w, rv_Pixel &p) {
    if (p.z > w.level) return;
    const uint32_t alpha = water_weight<uint32_t>(w, p.z, false);
    const uint32_t beta = 256 - alpha;
    p.red = static_cast<uint8_t>(water_mix<uint32_t>(w.red, p.red, alpha, beta));
    p.green = static_cast<uint8_t>(water_mix<uint32_t>(w.green, p.green, alpha, beta));
    p.blue = static_cast<uint8_t>(water_mix<uint32_t>(w.blue, p.blue, alpha, beta));
    p.light = static_cast<uint16_t>(water_mix<uint32_t>(w.light, p.light, alpha, beta));
}

inline WaterLanes<uint32_t> water_lanes(const rv_Pixel &w, int32_t depth) {
    return {w.red, w.green, w.blue, w.light, w.alpha, w.z,
            depth > 0 ? 65536u / static_cast<uint32_t>(depth) : 65536u, 256u};
}

