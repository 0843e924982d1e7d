// The terrain generator's arithmetic, written once for the plain walk
// (V = int32_t) and the fast rows (V = a vector of 32-bit signed lanes).
// Included inside its user's namespace (see core/lanes.h). Templates only.

// Means of two and of four heights: the sums are at most 4 x 65535, and
// heights are never negative, so the shift truncates as a division would.
template <typename V>
RELVANE_FORMULA V mean_of_two(V p, V q) {
    return ShiftRight<1>(Add(p, q));
}

template <typename V>
RELVANE_FORMULA V mean_of_four(V p, V q, V r, V s) {
    return ShiftRight<2>(Add(Add(Add(p, q), r), s));
}

// A height v moved by the displacement d and held to 0..top (65535); with
// |d| <= 131080 nothing leaves the 32-bit range.
template <typename V>
RELVANE_FORMULA V displaced_height(V v, V d, V zero, V top) {
    return Min(Max(Add(v, d), zero), top);
}
