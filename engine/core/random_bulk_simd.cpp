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

// Whole blocks of eight; returns how many draws it made.
__attribute__((target("avx2"))) size_t blocks_avx2(rv_Context *c, int32_t a, ExactDivisor e, int32_t *out, size_t n) {
    const __m256i ma = lanes(kStepsA, &Affine::m), ca = lanes(kStepsA, &Affine::c);
    const __m256i mb = lanes(kStepsB, &Affine::m), cb = lanes(kStepsB, &Affine::c);
    const __m256i lo = _mm256_set1_epi64x(int64_t(e.magic & 0xFFFFFFFFu));
    const __m256i hi = _mm256_set1_epi64x(int64_t(e.magic >> 32));
    // A range of 0 weighs both quotients by 0.
    const uint32_t mix = a == 0 ? 0 : c->random_mix > 16383u ? 16383u : c->random_mix;
    const __m256i wa = _mm256_set1_epi32(int32_t(mix)), wb = _mm256_set1_epi32(a == 0 ? 0 : int32_t(16383u - mix));
    const __m256i odd1 = _mm256_set1_epi32(int32_t(kOddB1)), odd2 = _mm256_set1_epi32(int32_t(kOddB2));
    const __m256i va = _mm256_set1_epi32(a);
    uint32_t sa = c->random_a, sb = c->random_b;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i xa = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_set1_epi32(int32_t(sa)), ma), ca);
        const __m256i xb = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_set1_epi32(int32_t(sb)), mb), cb);
        // States 0..6 of the block step again inside it, as does sb.
        const __m256i odd = _mm256_or_si256(_mm256_cmpeq_epi32(xb, odd1), _mm256_cmpeq_epi32(xb, odd2));
        if (odd_state(sb) || (_mm256_movemask_ps(_mm256_castsi256_ps(odd)) & 0x7F)) {
            c->random_a = sa, c->random_b = sb;
            for (size_t k = 0; k < 8; k++) out[i + k] = one(c, a, e);
            sa = c->random_a, sb = c->random_b;
            continue;
        }
        const __m256i a1 = _mm256_mullo_epi32(xa, _mm256_srli_epi32(xa, 16));
        const __m256i sum = _mm256_add_epi32(_mm256_mullo_epi32(quotients(a1, lo, hi), wa),
                                             _mm256_mullo_epi32(quotients(xb, lo, hi), wb));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + i), _mm256_sub_epi32(_mm256_srli_epi32(sum, 14), va));
        sa = kStepsA[8].m * sa + kStepsA[8].c;
        sb = kStepsB[8].m * sb + kStepsB[8].c;
    }
    c->random_a = sa, c->random_b = sb;
    return i;
}

const bool have_avx2 = __builtin_cpu_supports("avx2");
#endif

}  // namespace

namespace relvane::fast {

void random_displacements(rv_Context *c, int32_t a, int32_t *out, size_t n) {
    const ExactDivisor e = exact_divisor(random_divisor(static_cast<uint32_t>(2 * a)));
    size_t i = 0;
#if defined(__x86_64__)
    if (have_avx2) i = blocks_avx2(c, a, e, out, n);
#endif
    for (; i < n; i++) out[i] = one(c, a, e);
}

}  // namespace relvane::fast
