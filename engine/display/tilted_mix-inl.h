// The tilted view's edge blend, written once for the plain code (V =
// uint32_t, one channel) and the fast path (V = 16-bit lanes, one channel per
// lane): over mixed into under with weight w of 255, rest = 255 - w. Included
// inside its user's namespace (see core/lanes.h); templates only.
// over * w + under * rest <= 255 * 255 < 65536, so 16-bit lanes cannot carry.
template <typename V>
RELVANE_FORMULA V edge_mix(V over, V under, V w, V rest) {
    return ShiftRight<8>(Add(Mul(over, w), Mul(under, rest)));
}
