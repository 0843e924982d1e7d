// A pixel's two 32-bit words (colour and alpha, then light and height) split
// from and joined back into memory order without moving data across lanes,
// for the fast paths only (included inside a target's namespace after
// `namespace hn`; templates only). lo and hi are the words of 2 * Lanes(d)
// pixels in memory order; a split vector holds the first half's pixels in
// its even lanes and the second half's in its odd ones, an order every
// operand of a lane-wise formula can share. Pixels are little-endian word
// pairs, so a 64-bit shift moves a word to its neighbour lane.

template <class D>
HWY_INLINE hn::Vec<D> shift_words_up(D d, hn::Vec<D> v) {
    return hn::BitCast(d, hn::ShiftLeft<32>(hn::BitCast(hn::Repartition<uint64_t, D>(), v)));
}

template <class D>
HWY_INLINE hn::Vec<D> shift_words_down(D d, hn::Vec<D> v) {
    return hn::BitCast(d, hn::ShiftRight<32>(hn::BitCast(hn::Repartition<uint64_t, D>(), v)));
}

// The colour words of the pixels.
template <class D>
HWY_INLINE hn::Vec<D> colour_words(D d, hn::Vec<D> lo, hn::Vec<D> hi) {
    return hn::OddEven(shift_words_up(d, hi), lo);
}

// The light/height words of the pixels.
template <class D>
HWY_INLINE hn::Vec<D> light_words(D d, hn::Vec<D> lo, hn::Vec<D> hi) {
    return hn::OddEven(hi, shift_words_down(d, lo));
}

// Split colour and light words back in memory order: the first half, then
// the second.
template <class D>
HWY_INLINE void store_words(D d, hn::Vec<D> colour, hn::Vec<D> light, hn::TFromD<D> *p) {
    hn::StoreU(hn::OddEven(shift_words_up(d, light), colour), d, p);
    hn::StoreU(hn::OddEven(light, shift_words_down(d, colour)), d, p + hn::Lanes(d));
}

// New light words for pixels whose memory words were lo and hi: the colour
// words stay as they were.
template <class D>
HWY_INLINE void store_light_words(D d, hn::Vec<D> light, hn::Vec<D> lo, hn::Vec<D> hi, hn::TFromD<D> *p) {
    hn::StoreU(hn::OddEven(shift_words_up(d, light), lo), d, p);
    hn::StoreU(hn::OddEven(light, hi), d, p + hn::Lanes(d));
}
