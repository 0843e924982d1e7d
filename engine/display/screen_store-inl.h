// The screen store shared by the display fast paths: rows of packed words
// (show_rows_simd.h) written as screen pixels, a vector of words at a time.
// For 3-byte pixels each 16-byte block's bytes are put in the screen's
// channel order and closed up to twelve by one byte shuffle, one lane gather closes up the
// blocks, and the vector is stored whole: its spare words at the top land on
// the next group's pixels, which are written after it. Included inside each
// display fast path's target namespace after `using namespace hn`; templates
// only. Keeps: a word with its top bit set leaves its screen pixel as it was.

// A row of w 4-byte screen pixels, a vector of words at a time: each packed
// word's channels shifted to their bytes, the screen word's fourth byte
// kept (as the plain code leaves it). Group and one as for put_row.
template <bool Keeps, class D, class Group, class One>
HWY_INLINE void put_row4(D d, uint8_t *dst, int32_t w, const ScreenLayout &l, Group group, One one) {
    const Repartition<uint8_t, D> d8;
    const RebindToSigned<D> di;
    const size_t n = Lanes(d), width = static_cast<size_t>(w);
    const int r = 8 * l.r, g = 8 * l.g, b = 8 * l.b;
    const auto byte = Set(d, 0xFFu);
    const auto fourth = Set(d, ~((0xFFu << r) | (0xFFu << g) | (0xFFu << b)));
    size_t i = 0;
    if (!Keeps && r == 0 && g == 8 && b == 16) {
        // The packed words' own order (the page's canvas): their top byte is 0.
        for (; i + n <= width; i += n) {
            const auto old = BitCast(d, LoadU(d8, dst + 4 * i));
            StoreU(BitCast(d8, Or(And(old, fourth), BitCast(d, group(i)))), d8, dst + 4 * i);
        }
    }
    for (; i + n <= width; i += n) {
        const auto v = BitCast(d, group(i));
        const auto old = BitCast(d, LoadU(d8, dst + 4 * i));
        auto out = Or(And(old, fourth), Or(ShiftLeftSame(And(v, byte), r),
                                           Or(ShiftLeftSame(And(ShiftRight<8>(v), byte), g),
                                              ShiftLeftSame(And(ShiftRight<16>(v), byte), b))));
        if (Keeps) out = IfThenElse(RebindMask(d, Lt(BitCast(di, v), Zero(di))), old, out);
        StoreU(BitCast(d8, out), d8, dst + 4 * i);
    }
    for (; i < width; ++i) {
        const uint32_t v = one(i);
        if (!Keeps || v >> 31 == 0) put_packed(dst + 4 * i, l, v);
    }
}

// One group of Lanes(d) packed words to dst. room: the whole vector fits the
// row; otherwise the group goes through a buffer.
template <class D, class VB, class I>
HWY_INLINE void put_group(D d, Vec<D> packed, VB shuffle, I gather, uint8_t *dst, bool room) {
    const Repartition<uint8_t, D> d8;
    const auto out = BitCast(d8, TableLookupLanes(BitCast(d, TableLookupBytes(BitCast(d8, packed), shuffle)), gather));
    if (room) return StoreU(out, d8, dst);
    HWY_ALIGN uint8_t buffer[MaxLanes(d8)];
    StoreU(out, d8, buffer);
    std::memcpy(dst, buffer, 3 * Lanes(d));
}

// A row of w screen pixels: group(i) gives the packed words of pixels i to
// i + Lanes(d) - 1 as a vector, one(i) that of pixel i alone (rows narrower
// than a vector). A last group that would run past the row's end is moved
// back to end with it; its overlap is worked out again, to the same bytes.
template <bool Keeps, class D, class Group, class One>
HWY_INLINE void put_row(D d, uint8_t *dst, int32_t w, const ScreenOrder &order, const ScreenLayout &l,
                        Group group, One one) {
    if (l.bytes == 4) return put_row4<Keeps>(d, dst, w, l, group, one);
    const size_t n = Lanes(d), width = static_cast<size_t>(w);
    if (Keeps) {
        // Rare scales only: the words a vector at a time, each kept or stored alone.
        HWY_ALIGN uint32_t words[MaxLanes(d)];
        size_t i = 0;
        for (; i + n <= width; i += n) {
            StoreU(BitCast(d, group(i)), d, words);
            for (size_t k = 0; k < n; ++k)
                if (words[k] >> 31 == 0) put_packed(dst + 3 * (i + k), l, words[k]);
        }
        for (; i < width; ++i) {
            const uint32_t v = one(i);
            if (v >> 31 == 0) put_packed(dst + 3 * i, l, v);
        }
        return;
    }
    if (width < n) {
        for (size_t i = 0; i < width; ++i) {
            const uint32_t v = one(i);
            put_packed(dst + 3 * i, l, v);
        }
        return;
    }
    const Repartition<uint8_t, D> d8;
    const auto shuffle = LoadDup128(d8, order.bytes);
    // word j of the closed-up vector: word j % 3 of block j / 3; the spare
    // top quarter takes any words
    int32_t index[MaxLanes(d)];
    for (size_t j = 0; j < n; ++j) {
        const bool spare = j >= n / 4 * 3;
        index[j] = static_cast<int32_t>(spare ? j : j / 3 * 4 + j % 3);
    }
    const auto gather = SetTableIndices(d, index);
    size_t i = 0;
    for (; 3 * i + 4 * n <= 3 * width; i += n) put_group(d, group(i), shuffle, gather, dst + 3 * i, true);
    for (; i + n <= width; i += n) put_group(d, group(i), shuffle, gather, dst + 3 * i, false);
    if (i < width) put_group(d, group(width - n), shuffle, gather, dst + 3 * (width - n), false);
}
