// The lit colour of a pixel, written once for the plain code and the fast
// paths (included inside its user's namespace; see core/lanes.h; templates
// only): a channel scaled by the light (256 = unity), saturating at 255.
// c * light <= 255 * 65535 fits 32 bits.
template <typename V>
RELVANE_FORMULA V lit_channel(V c, V light, V top) {
    return Min(ShiftRight<8>(Mul(c, light)), top);
}

// The lit colour of a pixel's two words, its colour word rgba (red in the low
// byte) and its light/height word lz (light in the low 16 bits): red, green
// and blue in bytes 0-2, byte 3 zero. byte = 0xFF, low16 = 0xFFFF.
template <typename V>
RELVANE_FORMULA V lit_colour_word(V rgba, V lz, V byte, V low16) {
    const V light = And(lz, low16);
    const V red = lit_channel(And(rgba, byte), light, byte);
    const V green = lit_channel(And(ShiftRight<8>(rgba), byte), light, byte);
    const V blue = lit_channel(And(ShiftRight<16>(rgba), byte), light, byte);
    return Or(red, Or(ShiftLeft<8>(green), ShiftLeft<16>(blue)));
}
