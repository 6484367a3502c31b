// The Chinese remainder theorem into limbs of base 10^18 (crt.hpp) four coefficients at a time
// with AVX2: the estimates in doubles, the low words' products from 32-bit ones (AVX2 has no
// 64-bit multiplier; the cross products, of which only the low halves count, by one 32-bit
// multiply of both halves at once), the quotients' corrections by masks. The carries between limbs
// go four at a time too: each limb's sum splits into a digit below the base and a carry of 0 to 2,
// and the carry of the limb below is added; only where that reaches the base (a limb of all nines
// taking a carry) do the four limbs go one by one. For the backends of processors that have
// AVX2 (avx2, ifma); elsewhere the portable recombination.
#include "kernel/target.hpp"
#include "kernel/transform/crt.hpp"
#include "kernel/transform/transform.hpp"

#if defined(QUORVEL_X86_TARGETS)
#include <immintrin.h>
#endif

#if defined(QUORVEL_X86_TARGETS)
// Every function from here to the end of the file is compiled for AVX2 and FMA.
QUORVEL_TARGET_BEGIN("avx2,fma")
#include "kernel/transform/avx2words.hpp"

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace
{
__m256i set(u64 x)
{
    return _mm256_set1_epi64x(static_cast<long long>(x));
}
__m256i loadwords(const u64* x)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(static_cast<const void*>(x)));
}

// A factor of the low words' products: its low 32-bit half, and its halves swapped.
struct factor
{
    explicit factor(u64 x) : low(set(x & 0xFFFFFFFFU)), swapped(set(x >> 32 | x << 32)) {}
    __m256i low, swapped;
};

// Sums of products modulo 2^64, from the words' halves: x y = xl yl + (xl yh + xh yl) 2^32, of
// whose cross products only the low 32 bits count (32-bit products of x by y's swapped halves).
struct lowsum
{
    lowsum() : low(_mm256_setzero_si256()), cross(_mm256_setzero_si256()) {}
    void add(__m256i x, const factor& y)
    {
        low = _mm256_add_epi64(low, _mm256_mul_epu32(x, y.low));
        cross = _mm256_add_epi32(cross, _mm256_mullo_epi32(x, y.swapped));
    }
    __m256i value() const
    {
        const __m256i sum = _mm256_add_epi32(cross, _mm256_srli_epi64(cross, 32));
        return _mm256_add_epi64(low, _mm256_slli_epi64(sum, 32));
    }
    __m256i low, cross;
};

// Floors of doubles below 2^52, as words.
__m256i floorwords(__m256d x)
{
    return avx2words::aswords(_mm256_floor_pd(x));
}

// By j: `at1` where the sum of fractions reached 1, `at2` where it reached 2.
__m256i choose(const u64* byj, __m256d at1, __m256d at2)
{
    const __m256d words =
        _mm256_blendv_pd(_mm256_castsi256_pd(set(byj[0])), _mm256_castsi256_pd(set(byj[1])), at1);
    return _mm256_castpd_si256(_mm256_blendv_pd(words, _mm256_castsi256_pd(set(byj[2])), at2));
}
__m256d choose(double j0, double j1, double j2, __m256d at1, __m256d at2)
{
    return _mm256_blendv_pd(_mm256_blendv_pd(_mm256_set1_pd(j0), _mm256_set1_pd(j1), at1),
                            _mm256_set1_pd(j2), at2);
}

// x - q B for a quotient q below 2^53.
__m256i lessmultiple(__m256i x, __m256i q, const factor& base)
{
    lowsum product;
    product.add(q, base);
    return _mm256_sub_epi64(x, product.value());
}

// Where x >= k B (x below 2^63): all ones.
__m256i atleast(__m256i x, u64 k)
{
    return _mm256_cmpgt_epi64(x, set(k * limbbase - 1));
}

// The lanes of x moved up by one, the top lane of `below` (the vector before x) in lane 0.
__m256i upone(__m256i x, __m256i below)
{
    return _mm256_alignr_epi8(x, _mm256_permute2x128_si256(below, x, 0x21), 8);
}
// The lanes of x moved up by two, the top two of `below` in lanes 0 and 1.
__m256i uptwo(__m256i x, __m256i below)
{
    return _mm256_permute2x128_si256(below, x, 0x21);
}

struct lanes
{
    explicit lanes(__m256i x)
    {
        _mm256_store_si256(static_cast<__m256i*>(static_cast<void*>(v)), x);
    }
    alignas(32) u64 v[4]{};
};

// The limbs k to k + 3, whose sums of r, the b below and the a two below are `sum` (each below
// 3B), after the carries of the limbs below: each sum is a digit below B and a carry of 0 to 2,
// and each limb takes the carry of the one below it, which gives a limb of B or more only where
// the digit is B - 1 or B - 2. `carry` holds the carry into limb k in its top lane before, and the
// carry into limb k + 4 there after.
void carrylimbs(u64* r, __m256i sum, __m256i& carry, const __m256i limb)
{
    const __m256i one = atleast(sum, 1), two = atleast(sum, 2);
    const __m256i digits = _mm256_sub_epi64(_mm256_sub_epi64(sum, _mm256_and_si256(one, limb)),
                                            _mm256_and_si256(two, limb));
    const __m256i out = _mm256_sub_epi64(_mm256_sub_epi64(_mm256_setzero_si256(), one), two);
    const __m256i limbs = _mm256_add_epi64(digits, upone(out, carry));
    const __m256i reached = atleast(limbs, 1);
    if (_mm256_testz_si256(reached, reached) != 0)
    {
        _mm256_storeu_si256(static_cast<__m256i*>(static_cast<void*>(r)), limbs);
        carry = out;
        return;
    }
    // A limb reached the base: its carry goes on into the next, one by one.
    const lanes d(digits), c(out);
    u64 in = lanes(carry).v[3];
    for (std::size_t i = 0; i < 4; ++i)
    {
        const u64 value = d.v[i] + in;  // below B + 3
        const u64 over = static_cast<u64>(value >= limbbase);
        r[i] = value - over * limbbase;
        in = c.v[i] + over;
    }
    carry = set(in);
}
}  // namespace

void recombinewide(u64* r, std::size_t count, u64* const residues[3], bool whole)
{
    const factor base(limbbase), m[3][2] = {{factor(crt.m[0][0]), factor(crt.m[0][1])},
                                            {factor(crt.m[1][0]), factor(crt.m[1][1])},
                                            {factor(crt.m[2][0]), factor(crt.m[2][1])}};
    const __m256i limb = set(limbbase);
    // The b and a of the four coefficients before, and the carry into the next limb (top lanes).
    __m256i bbelow = _mm256_setzero_si256(), abelow = bbelow, carry = bbelow;
    std::size_t k = 0;
    for (; k + 4 <= count; k += 4)
    {
        __m256i y[3];
        __m256d f[3];
        for (std::size_t i = 0; i < 3; ++i)
        {
            y[i] = loadwords(residues[i] + k);
            f[i] = avx2words::asdoubles(y[i]);
        }
        const __m256d fractions = _mm256_fmadd_pd(
            f[0], _mm256_set1_pd(crt.pinv[0]),
            _mm256_fmadd_pd(
                f[1], _mm256_set1_pd(crt.pinv[1]),
                _mm256_fmadd_pd(f[2], _mm256_set1_pd(crt.pinv[2]), _mm256_set1_pd(0.125))));
        const __m256d at1 = _mm256_cmp_pd(fractions, _mm256_set1_pd(1), _CMP_GE_OQ);
        const __m256d at2 = _mm256_cmp_pd(fractions, _mm256_set1_pd(2), _CMP_GE_OQ);

        lowsum t0, t1;
        __m256d e0 = choose(crt.offset[0][0], crt.offset[1][0], crt.offset[2][0], at1, at2);
        __m256d e1 = choose(crt.offset[0][1], crt.offset[1][1], crt.offset[2][1], at1, at2);
        for (std::size_t i = 0; i < 3; ++i)
        {
            t0.add(y[i], m[i][0]);
            t1.add(y[i], m[i][1]);
            e0 = _mm256_fmadd_pd(f[i], _mm256_set1_pd(crt.mb[i][0]), e0);
            e1 = _mm256_fmadd_pd(f[i], _mm256_set1_pd(crt.mb[i][1]), e1);
        }
        // The low limb: q0 estimated as q0 - 3 to q0, corrected by up to three bases.
        __m256i q0 = _mm256_sub_epi64(floorwords(e0), set(2));
        __m256i x0 =
            lessmultiple(_mm256_add_epi64(t0.value(), choose(crt.low, at1, at2)), q0, base);
        const __m256i over[3] = {atleast(x0, 1), atleast(x0, 2), atleast(x0, 3)};
        for (const __m256i& o : over)
        {
            q0 = _mm256_sub_epi64(q0, o);
            x0 = _mm256_sub_epi64(x0, _mm256_and_si256(o, limb));
        }
        // The middle limb: q1 estimated as q1 - 1 or q1.
        __m256i q1 = floorwords(e1);
        __m256i x1 = lessmultiple(
            _mm256_add_epi64(_mm256_add_epi64(t1.value(), q0), choose(crt.high, at1, at2)), q1,
            base);
        const __m256i above = atleast(x1, 1);
        q1 = _mm256_sub_epi64(q1, above);
        x1 = _mm256_sub_epi64(x1, _mm256_and_si256(above, limb));
        const __m256i a = _mm256_sub_epi64(q1, choose(crt.top, at1, at2));
        // Limb k + i is the r of coefficient k + i, the b of k + i - 1 and the a of k + i - 2.
        const __m256i sum =
            _mm256_add_epi64(x0, _mm256_add_epi64(upone(x1, bbelow), uptwo(a, abelow)));
        bbelow = x1;
        abelow = a;
        carrylimbs(r + k, sum, carry, limb);
    }
    const lanes b(bbelow), a(abelow);
    carries limbs(lanes(carry).v[3], b.v[3], a.v[3], a.v[2]);
    for (; k < count; ++k)
    {
        u64 low = 0, middle = 0, high = 0;
        split(residues[0][k], residues[1][k], residues[2][k], low, middle, high);
        r[k] = limbs.next(low, middle, high);
    }
    if (whole)
        r[count] = limbs.last();
}
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL

QUORVEL_TARGET_END

#else  // not x86-64 with GCC or Clang: the backends that call it do not exist here

namespace QUORVEL
{
namespace detail
{
namespace transform
{
void recombinewide(u64* r, std::size_t count, u64* const residues[3], bool whole)
{
    recombine(r, count, residues, whole);
}
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
#endif
