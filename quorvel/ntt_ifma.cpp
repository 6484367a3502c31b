// The transforms of ntt.cpp eight values at a time, with AVX-512 IFMA: vpmadd52luq and
// vpmadd52huq multiply 52-bit words and give the low and the high 52 bits of the product, which is
// all that Shoup's and Montgomery's reductions need for primes below 2^50. Compiled for that
// instruction set alone (the rest of the library is not) and used only where the processor has
// it; the residues are the same as the portable transforms'.
#include "quorvel/transform.hpp"

#include <algorithm>
#include <cassert>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's own AVX-512 headers start some intrinsics from an undefined vector and then warn about
// it (GCC bug 105593).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage): the instruction set of the functions below
#define QUORVEL_IFMA __attribute__((target("avx512f,avx512ifma,avx512vl")))
#endif

namespace QUORVEL
{
namespace detail
{
namespace transform
{
#if defined(QUORVEL_IFMA)
bool vectoravailable()
{
    static const bool available = []
    {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512ifma") &&
               __builtin_cpu_supports("avx512vl");
    }();
    return available;
}

namespace
{
using v8 = __m512i;

constexpr u64 mask52 = (u64{1} << 52) - 1;

// A prime and the constants of its reductions, eight times over.
struct vprime
{
    v8 p, twop, negp, mask, zero;
};

QUORVEL_IFMA vprime vectorof(const prime& m)
{
    const u64 twop = 2 * m.p;
    return {_mm512_set1_epi64(static_cast<long long>(m.p)),
            _mm512_set1_epi64(static_cast<long long>(twop)),
            _mm512_set1_epi64(static_cast<long long>(m.negp52)),
            _mm512_set1_epi64(static_cast<long long>(mask52)), _mm512_setzero_si512()};
}

QUORVEL_IFMA inline v8 load(const u64* p)
{
    return _mm512_loadu_si512(p);
}
QUORVEL_IFMA inline void store(u64* p, v8 x)
{
    _mm512_storeu_si512(p, x);
}
// x below 2k to below k, for k = p or 2p: subtracting k wraps past x where x < k.
QUORVEL_IFMA inline v8 reduce(v8 x, v8 k)
{
    return _mm512_min_epu64(x, _mm512_sub_epi64(x, k));
}
// Shoup's product w * y modulo p in [0, 2p), for y < 2^52 and wq = floor(w 2^52 / p): the
// quotient from the high half, the remainder from the low 52 bits alone.
QUORVEL_IFMA inline v8 shoup(v8 w, v8 wq, v8 y, const vprime& m)
{
    const v8 q = _mm512_madd52hi_epu64(m.zero, wq, y);
    const v8 r = _mm512_sub_epi64(_mm512_madd52lo_epu64(m.zero, w, y),
                                  _mm512_madd52lo_epu64(m.zero, q, m.p));
    return _mm512_and_si512(r, m.mask);
}
// Montgomery's product a * b / 2^52 modulo p in [0, 2p), for a, b < 2p: t + m p is a multiple of
// 2^52, its low halves add to 0 or 2^52, so the result is the high halves and one where the low
// half of t is not zero.
QUORVEL_IFMA inline v8 montmul(v8 a, v8 b, const vprime& m)
{
    const v8 low = _mm512_madd52lo_epu64(m.zero, a, b);
    const v8 high = _mm512_madd52hi_epu64(m.zero, a, b);
    const v8 q = _mm512_madd52lo_epu64(m.zero, low, m.negp);
    const v8 sum = _mm512_madd52hi_epu64(high, q, m.p);
    const __mmask8 carry = _mm512_test_epi64_mask(low, low);
    return _mm512_mask_add_epi64(sum, carry, sum, _mm512_set1_epi64(1));
}
QUORVEL_IFMA inline v8 addmod(v8 a, v8 b, const vprime& m)  // below p
{
    return reduce(_mm512_add_epi64(a, b), m.p);
}
QUORVEL_IFMA inline v8 submod(v8 a, v8 b, const vprime& m)  // below p
{
    return reduce(_mm512_add_epi64(_mm512_sub_epi64(a, b), m.p), m.p);
}

constexpr std::size_t leaf = std::size_t{1} << 12;

// Stages h >= 8 on whole vectors, as in ntt.cpp's forward2.
QUORVEL_IFMA void forwardstage(u64* x, std::size_t h, const roottable& t, const vprime& m)
{
    for (std::size_t j = 0; j < h; j += 8)
    {
        const v8 u = load(x + j), v = load(x + j + h);
        store(x + j, reduce(_mm512_add_epi64(u, v), m.twop));
        const v8 d = _mm512_add_epi64(_mm512_sub_epi64(u, v), m.twop);
        store(x + j + h, shoup(load(t.forward + h + j), load(t.forwardq + h + j), d, m));
    }
}

QUORVEL_IFMA void inversestage(u64* x, std::size_t h, const roottable& t, const vprime& m)
{
    for (std::size_t j = 0; j < h; j += 8)
    {
        const v8 u = reduce(load(x + j), m.twop);
        const v8 v = shoup(load(t.inverse + h + j), load(t.inverseq + h + j), load(x + j + h), m);
        store(x + j, _mm512_add_epi64(u, v));
        store(x + j + h, _mm512_sub_epi64(_mm512_add_epi64(u, m.twop), v));
    }
}

// The stages h = 4, 2, 1 inside each vector of eight: the two halves of each butterfly are
// gathered into two vectors by permutes, and the results blended back.
struct inside
{
    v8 lower[3], upper[3];  // lane indices of the halves for h = 4, 2, 1
    __mmask8 upperlanes[3];
    v8 w4, w4q, w2, w2q;  // twiddles, in the lanes of the upper halves
};

QUORVEL_IFMA inside insideof(const u64* roots, const u64* quotients)
{
    inside s{};
    s.lower[0] = _mm512_set_epi64(3, 2, 1, 0, 3, 2, 1, 0);
    s.upper[0] = _mm512_set_epi64(7, 6, 5, 4, 7, 6, 5, 4);
    s.lower[1] = _mm512_set_epi64(5, 4, 5, 4, 1, 0, 1, 0);
    s.upper[1] = _mm512_set_epi64(7, 6, 7, 6, 3, 2, 3, 2);
    s.lower[2] = _mm512_set_epi64(6, 6, 4, 4, 2, 2, 0, 0);
    s.upper[2] = _mm512_set_epi64(7, 7, 5, 5, 3, 3, 1, 1);
    s.upperlanes[0] = 0xF0;
    s.upperlanes[1] = 0xCC;
    s.upperlanes[2] = 0xAA;
    // The same four (two) twiddles in both halves (in every pair) of lanes.
    const auto lane = [](const u64* p, int i) { return static_cast<long long>(p[i]); };
    s.w4 = _mm512_set_epi64(lane(roots, 7), lane(roots, 6), lane(roots, 5), lane(roots, 4),
                            lane(roots, 7), lane(roots, 6), lane(roots, 5), lane(roots, 4));
    s.w4q = _mm512_set_epi64(lane(quotients, 7), lane(quotients, 6), lane(quotients, 5),
                             lane(quotients, 4), lane(quotients, 7), lane(quotients, 6),
                             lane(quotients, 5), lane(quotients, 4));
    s.w2 = _mm512_set_epi64(lane(roots, 3), lane(roots, 2), lane(roots, 3), lane(roots, 2),
                            lane(roots, 3), lane(roots, 2), lane(roots, 3), lane(roots, 2));
    s.w2q = _mm512_set_epi64(lane(quotients, 3), lane(quotients, 2), lane(quotients, 3),
                             lane(quotients, 2), lane(quotients, 3), lane(quotients, 2),
                             lane(quotients, 3), lane(quotients, 2));
    return s;
}

QUORVEL_IFMA v8 forwardinside(v8 x, const inside& s, const vprime& m)
{
    for (int k = 0; k < 3; ++k)
    {
        const v8 u = _mm512_permutexvar_epi64(s.lower[k], x);
        const v8 v = _mm512_permutexvar_epi64(s.upper[k], x);
        const v8 sum = reduce(_mm512_add_epi64(u, v), m.twop);
        const v8 d = _mm512_add_epi64(_mm512_sub_epi64(u, v), m.twop);
        const v8 product = k == 0   ? shoup(s.w4, s.w4q, d, m)
                           : k == 1 ? shoup(s.w2, s.w2q, d, m)
                                    : reduce(d, m.twop);  // w = 1
        x = _mm512_mask_blend_epi64(s.upperlanes[k], sum, product);
    }
    return x;
}

QUORVEL_IFMA v8 inverseinside(v8 x, const inside& s, const vprime& m)
{
    for (int k = 2; k >= 0; --k)
    {
        const v8 u = reduce(_mm512_permutexvar_epi64(s.lower[k], x), m.twop);
        const v8 y = _mm512_permutexvar_epi64(s.upper[k], x);
        const v8 v = k == 0   ? shoup(s.w4, s.w4q, y, m)
                     : k == 1 ? shoup(s.w2, s.w2q, y, m)
                              : reduce(y, m.twop);  // w = 1
        x = _mm512_mask_blend_epi64(s.upperlanes[k], _mm512_add_epi64(u, v),
                                    _mm512_sub_epi64(_mm512_add_epi64(u, m.twop), v));
    }
    return x;
}

// Decimation in frequency, length n (a power of 2, at least 16): values in [0, 2p) stay there.
QUORVEL_IFMA void forward2(u64* a, std::size_t n, const roottable& t, const vprime& m,
                           const inside& s)
{
    if (n > leaf)
    {
        forwardstage(a, n / 2, t, m);
        forward2(a, n / 2, t, m, s);
        forward2(a + n / 2, n / 2, t, m, s);
        return;
    }
    for (std::size_t h = n / 2; h >= 8; h /= 2)
        for (std::size_t b = 0; b < n; b += 2 * h) forwardstage(a + b, h, t, m);
    for (std::size_t b = 0; b < n; b += 8) store(a + b, forwardinside(load(a + b), s, m));
}

// Decimation in time: values in [0, 4p) stay there.
QUORVEL_IFMA void inverse2(u64* a, std::size_t n, const roottable& t, const vprime& m,
                           const inside& s)
{
    if (n > leaf)
    {
        inverse2(a, n / 2, t, m, s);
        inverse2(a + n / 2, n / 2, t, m, s);
        inversestage(a, n / 2, t, m);
        return;
    }
    for (std::size_t b = 0; b < n; b += 8) store(a + b, inverseinside(load(a + b), s, m));
    for (std::size_t h = 8; h < n; h *= 2)
        for (std::size_t b = 0; b < n; b += 2 * h) inversestage(a + b, h, t, m);
}

// w^0 ... w^7 and w^8, times 2^52 modulo p (Montgomery form).
struct powers
{
    v8 first, step;
};

QUORVEL_IFMA powers powersof(u64 w, u64 p)
{
    alignas(64) u64 lanes[8];
    u64 x = 1;
    for (u64& lane : lanes)
    {
        lane = static_cast<u64>((static_cast<u128>(x) << 52) % p);
        x = static_cast<u64>(static_cast<u128>(x) * w % p);
    }
    return {_mm512_load_si512(lanes),
            _mm512_set1_epi64(static_cast<long long>((static_cast<u128>(x) << 52) % p))};
}

QUORVEL_IFMA v8 montgomeryform(u64 x, u64 p)
{
    return _mm512_set1_epi64(static_cast<long long>((static_cast<u128>(x) << 52) % p));
}

// The radix-3 stage of ntt.cpp's forward3, eight j at a time.
QUORVEL_IFMA void forward3(u64* a, std::size_t n, const prime& pr, const vprime& m)
{
    const u64 w = powmod(pr.root, (pr.p - 1) / (3 * n), pr.p);
    const v8 r = montgomeryform(powmod(w, n, pr.p), pr.p);
    powers wj = powersof(w, pr.p);
    for (std::size_t j = 0; j < n; j += 8)
    {
        const v8 x0 = load(a + j), x1 = load(a + j + n), x2 = load(a + j + 2 * n);
        const v8 u = reduce(montmul(submod(x1, x2, m), r, m), m.p);
        store(a + j, addmod(addmod(x0, x1, m), x2, m));
        store(a + j + n, montmul(addmod(submod(x0, x2, m), u, m), wj.first, m));
        store(a + j + 2 * n,
              montmul(submod(submod(x0, x1, m), u, m), montmul(wj.first, wj.first, m), m));
        wj.first = montmul(wj.first, wj.step, m);
    }
}

QUORVEL_IFMA void inverse3(u64* a, std::size_t n, const prime& pr, const vprime& m)
{
    const u64 w = powmod(powmod(pr.root, (pr.p - 1) / (3 * n), pr.p), 3 * n - 1, pr.p);
    const v8 r = montgomeryform(powmod(w, n, pr.p), pr.p);
    powers wj = powersof(w, pr.p);
    for (std::size_t j = 0; j < n; j += 8)
    {
        const v8 y0 = reduce(reduce(load(a + j), m.twop), m.p);
        const v8 y1 = reduce(montmul(reduce(load(a + j + n), m.twop), wj.first, m), m.p);
        const v8 y2 = reduce(
            montmul(reduce(load(a + j + 2 * n), m.twop), montmul(wj.first, wj.first, m), m), m.p);
        const v8 u = reduce(montmul(submod(y1, y2, m), r, m), m.p);
        store(a + j, addmod(addmod(y0, y1, m), y2, m));
        store(a + j + n, addmod(submod(y0, y2, m), u, m));
        store(a + j + 2 * n, submod(submod(y0, y1, m), u, m));
        wj.first = montmul(wj.first, wj.step, m);
    }
}

QUORVEL_IFMA void load(u64* x, const u64* a, std::size_t na, const job& j, const roottable& t,
                       const prime& pr, const vprime& m, const inside& s)
{
    const u64 reciprocal = ~u64{0} / pr.p;
    for (std::size_t i = 0; i < na; ++i) x[i] = reduceinput(a[i], pr.p, reciprocal);
    std::fill(x + na, x + j.length, u64{0});
    if (j.length == j.n)
        forward2(x, j.n, t, m, s);
    else
    {
        forward3(x, j.n, pr, m);
        for (std::size_t third = 0; third < 3; ++third) forward2(x + third * j.n, j.n, t, m, s);
    }
}
}  // namespace

QUORVEL_IFMA void vectorresidues(const job& j, const roottable& t, const prime& pr)
{
    assert(j.n >= 16 && t.forward != nullptr);
    const vprime m = vectorof(pr);
    const inside sf = insideof(t.forward, t.forwardq);
    const inside si = insideof(t.inverse, t.inverseq);
    u64* x = j.x;
    load(x, j.a, j.na, j, t, pr, m, sf);
    if (j.square)
        for (std::size_t i = 0; i < j.length; i += 8)
        {
            const v8 v = load(x + i);
            store(x + i, montmul(v, v, m));
        }
    else
    {
        load(j.other, j.b, j.nb, j, t, pr, m, sf);
        for (std::size_t i = 0; i < j.length; i += 8)
            store(x + i, montmul(load(x + i), load(j.other + i), m));
    }
    if (j.length == j.n)
        inverse2(x, j.n, t, m, si);
    else
    {
        for (std::size_t third = 0; third < 3; ++third) inverse2(x + third * j.n, j.n, t, m, si);
        inverse3(x, j.n, pr, m);
    }
    // Back to the coefficients: the pointwise products left c / 2^52, the transform length times
    // that; a Montgomery product with 2^104 / length brings back c.
    const u64 scale = static_cast<u64>(static_cast<u128>(pr.rsquare52) *
                                       powmod(j.length % pr.p, pr.p - 2, pr.p) % pr.p);
    const v8 vscale = _mm512_set1_epi64(static_cast<long long>(scale));
    for (std::size_t i = 0; i < j.length; i += 8)
        store(x + i, reduce(montmul(reduce(load(x + i), m.twop), vscale, m), m.p));
}
#else
bool vectoravailable()
{
    return false;
}

void vectorresidues(const job& j, const roottable& t, const prime& m)
{
    portableresidues(j, t, m);
}
#endif
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
