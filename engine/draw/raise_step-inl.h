// The raise towards a level, written once for the plain code and the fast
// path (included inside its user's namespace; see core/lanes.h; templates only). V is a
// signed type wide enough for (level - z) * factor: int64_t in the plain
// code, 32-bit lanes in the fast path, which takes only factors of magnitude
// below 32768 (65535 * 32767 < 2^31).
template <typename V>
RELVANE_FORMULA V raised_height(V z, V level, V factor, V zero, V top) {
    // arithmetic shift: any factor outside 0..256 lands on 0 or 65535
    return Min(Max(Add(z, ShiftRight<8>(Mul(Sub(level, z), factor))), zero), top);
}
