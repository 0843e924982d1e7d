// The lit colour of a pixel, written once for the plain code and the fast
// paths (included inside its user's namespace; see core/lanes.h; templates
// only): a channel scaled by the light (256 = unity), saturating at 255.
// c * light <= 255 * 65535 fits 32 bits.
template <typename V>
RELVANE_FORMULA V lit_channel(V c, V light, V top) {
    return Min(ShiftRight<8>(Mul(c, light)), top);
}
