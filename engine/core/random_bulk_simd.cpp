// Bulk draws. Generator A is a plain linear congruential step, so the state
// k steps ahead is an affine function of the current one and eight lanes
// start from one state. Generator B steps to 16807 b - 1 except from the two
// states whose product wraps to 4294967294 or 4294967295; its lanes assume
// the usual step, and a block that meets one of those states is drawn one by
// one instead. Each quotient by the range's divisor is an exact
// multiplication.
#include "random_bulk.h"

#include <immintrin.h>

#include <array>

#include "divide_exact.h"
#include "fast_path.h"
#include "random_draw.h"

namespace {

using namespace relvane;

// The step x -> m x + c.
struct Affine {
    uint32_t m, c;
};

// powers[k] is the step taken k times.
constexpr std::array<Affine, 9> powers(Affine f) {
    std::array<Affine, 9> p{};
    p[0] = {1, 0};
    for (size_t k = 1; k < p.size(); k++) p[k] = {f.m * p[k - 1].m, f.m * p[k - 1].c + f.c};
    return p;
}

constexpr auto kStepsA = powers({1566083941u, 1u});
constexpr auto kStepsB = powers({16807u, 0xFFFFFFFFu});  // the usual 16807 b - 1

// Multiplicative inverse of an odd number modulo 2^32 (Newton's iteration).
constexpr uint32_t inverse(uint32_t m) {
    uint32_t x = m;
    for (int i = 0; i < 5; i++) x *= 2u - m * x;
    return x;
}

// The two states of B that do not step to 16807 b - 1.
constexpr uint32_t kOddB1 = 4294967294u * inverse(16807u);
constexpr uint32_t kOddB2 = 4294967295u * inverse(16807u);
static_assert(kOddB1 * 16807u == 4294967294u && kOddB2 * 16807u == 4294967295u);

bool odd_state(uint32_t b) { return b == kOddB1 || b == kOddB2; }

// One draw the plain way, the quotient by multiplication.
int32_t one(rv_Context *c, int32_t a, ExactDivisor e) {
    const RandomOutputs r = random_advance(c);
    if (a == 0) return 0;
    const uint32_t draw = random_blend_by(r, [e](uint32_t x) { return divide(x, e); }, c->random_mix);
    return static_cast<int32_t>(draw) - a;
}

#if defined(__x86_64__)
// n / d for eight lanes, with magic = ceil(2^64 / d) split into 32-bit
// halves (one per 64-bit lane): (n * lo >> 32) + n * hi, shifted by 32.
__attribute__((target("avx2"))) inline __m256i quotients(__m256i n, __m256i lo, __m256i hi) {
    const __m256i odd = _mm256_srli_epi64(n, 32);
    const __m256i even_q = _mm256_add_epi64(_mm256_srli_epi64(_mm256_mul_epu32(n, lo), 32), _mm256_mul_epu32(n, hi));
    const __m256i odd_q = _mm256_add_epi64(_mm256_srli_epi64(_mm256_mul_epu32(odd, lo), 32), _mm256_mul_epu32(odd, hi));
    return _mm256_blend_epi32(_mm256_srli_epi64(even_q, 32), odd_q, 0xAA);
}

__attribute__((target("avx2"))) inline __m256i lanes(const std::array<Affine, 9> &p, uint32_t Affine::*field) {
    return _mm256_setr_epi32(int32_t(p[1].*field), int32_t(p[2].*field), int32_t(p[3].*field), int32_t(p[4].*field),
                             int32_t(p[5].*field), int32_t(p[6].*field), int32_t(p[7].*field), int32_t(p[8].*field));
}

__attribute__((target("avx2"))) inline __m256i splat(uint32_t v) { return _mm256_set1_epi32(int32_t(v)); }

// The states of the eight steps after s, assuming the usual step for B.
struct Block {
    __m256i a, b;
};

__attribute__((target("avx2"))) inline Block block_after(uint32_t sa, uint32_t sb) {
    return {_mm256_add_epi32(_mm256_mullo_epi32(splat(sa), lanes(kStepsA, &Affine::m)), lanes(kStepsA, &Affine::c)),
            _mm256_add_epi32(_mm256_mullo_epi32(splat(sb), lanes(kStepsB, &Affine::m)), lanes(kStepsB, &Affine::c))};
}

// Whole blocks of eight; returns how many draws it made. Each block's states
// step eight ahead from the last; a block holding a state of B that does not
// take the usual step is drawn one by one from the state before it, and so
// is the block after it.
__attribute__((target("avx2"))) size_t blocks_avx2(rv_Context *c, int32_t a, ExactDivisor e, int32_t *out, size_t n) {
    const __m256i ma = splat(kStepsA[8].m), ca = splat(kStepsA[8].c);
    const __m256i mb = splat(kStepsB[8].m), cb = splat(kStepsB[8].c);
    const __m256i lo = _mm256_set1_epi64x(int64_t(e.magic & 0xFFFFFFFFu));
    const __m256i hi = _mm256_set1_epi64x(int64_t(e.magic >> 32));
    // A range of 0 weighs both quotients by 0.
    const uint32_t mix = a == 0 ? 0 : c->random_mix > 16383u ? 16383u : c->random_mix;
    const __m256i wa = splat(mix), wb = splat(a == 0 ? 0 : 16383u - mix);
    const __m256i odd1 = splat(kOddB1), odd2 = splat(kOddB2);
    const __m256i va = _mm256_set1_epi32(a);
    // The state before the block is the last lane of `last`.
    Block last{splat(c->random_a), splat(c->random_b)}, x = block_after(c->random_a, c->random_b);
    bool after_odd = odd_state(c->random_b);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i odd = _mm256_or_si256(_mm256_cmpeq_epi32(x.b, odd1), _mm256_cmpeq_epi32(x.b, odd2));
        if (after_odd || !_mm256_testz_si256(odd, odd)) {
            c->random_a = uint32_t(_mm256_extract_epi32(last.a, 7));
            c->random_b = uint32_t(_mm256_extract_epi32(last.b, 7));
            for (size_t k = 0; k < 8; k++) out[i + k] = one(c, a, e);
            after_odd = odd_state(c->random_b);
            last = {splat(c->random_a), splat(c->random_b)};
            x = block_after(c->random_a, c->random_b);
            continue;
        }
        const __m256i a1 = _mm256_mullo_epi32(x.a, _mm256_srli_epi32(x.a, 16));
        const __m256i sum = _mm256_add_epi32(_mm256_mullo_epi32(quotients(a1, lo, hi), wa),
                                             _mm256_mullo_epi32(quotients(x.b, lo, hi), wb));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + i), _mm256_sub_epi32(_mm256_srli_epi32(sum, 14), va));
        last = x;
        x = {_mm256_add_epi32(_mm256_mullo_epi32(x.a, ma), ca), _mm256_add_epi32(_mm256_mullo_epi32(x.b, mb), cb)};
    }
    c->random_a = uint32_t(_mm256_extract_epi32(last.a, 7));
    c->random_b = uint32_t(_mm256_extract_epi32(last.b, 7));
    return i;
}

#endif

}  // namespace

namespace relvane::fast {

void random_displacements(rv_Context *c, int32_t a, int32_t *out, size_t n) {
    const ExactDivisor e = exact_divisor(random_divisor(static_cast<uint32_t>(2 * a)));
    size_t i = 0;
#if defined(__x86_64__)
    if (has_avx2()) i = blocks_avx2(c, a, e, out, n);
#endif
    for (; i < n; i++) out[i] = one(c, a, e);
}

}  // namespace relvane::fast
