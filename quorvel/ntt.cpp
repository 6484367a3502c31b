// The number-theoretic transform behind long products.
//
// Limbs below 10^18 are transformed modulo three primes just below 2^50, each 1 modulo 3 * 2^30,
// multiplied pointwise, transformed back, and joined by the Chinese remainder theorem straight into
// limbs of base 10^18 with their carries.
//
// Why nothing overflows: a coefficient of the product of limb strings of na and nb limbs is a sum
// of at most min(na, nb) products below 10^36. Transforms are at most 2^31 long, so
// min(na, nb) <= 2^30 and every coefficient is below 2^30 * 10^36 < 1.43 * 10^9 * 10^36, which is
// below p0 p1 p2 (> 2^149.99): its residues determine it. Longer products are refused with
// std::length_error before anything is computed; memory runs out long before that length.
//
// The transforms are radix 2 (and one radix-3 stage for lengths 3 * 2^k), forward by decimation in
// frequency and back by decimation in time, so that no reordering is needed between them. They
// recurse depth first until a block fits the cache, and keep values below 2p or 4p with Harvey's
// lazy butterflies; twiddle factors come from tables with Shoup's precomputed quotients, kept per
// thread between products. Pointwise products and the final scaling use Montgomery's reduction,
// which lets the scaling absorb both 1 / length and the Montgomery factor. Where the processor has
// AVX-512 IFMA (52-bit multiply-add on eight words), ntt_ifma.cpp does the same eight at a time;
// both give the same residues.
#include "quorvel/ntt.hpp"

#include "quorvel/scratch.hpp"
#include "quorvel/transform.hpp"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace
{
constexpr u64 low64(u128 x)
{
    return static_cast<u64>(x);
}

// -p^-1 modulo 2^64 by Newton's iteration (each step doubles the correct bits).
constexpr u64 negativeinverse(u64 p)
{
    u64 inverse = p;  // correct to 3 bits for odd p
    for (int i = 0; i < 5; ++i) inverse *= 2 - p * inverse;
    return 0 - inverse;
}

constexpr prime makeprime(u64 p, u64 root)
{
    const u64 r64 = low64((static_cast<u128>(1) << 64) % p);
    const u64 r52 = (u64{1} << 52) % p;
    return {p,
            root,
            negativeinverse(p),
            negativeinverse(p) & ((u64{1} << 52) - 1),
            low64(static_cast<u128>(r64) * r64 % p),
            low64(static_cast<u128>(r52) * r52 % p)};
}
}  // namespace

const prime primes[3] = {makeprime(1125844072267777ULL, 5), makeprime(1125818302464001ULL, 7),
                         makeprime(1125798975111169ULL, 11)};

u64 powmod(u64 base, u64 exponent, u64 p)
{
    u64 result = 1;
    for (; exponent != 0; exponent >>= 1)
    {
        if (exponent & 1)
            result = low64(static_cast<u128>(result) * base % p);
        base = low64(static_cast<u128>(base) * base % p);
    }
    return result;
}

namespace
{
// ---- Arithmetic modulo a prime (portable) ----------------------------------------------------

// Montgomery's reduction of t < 2^64 p: t / 2^64 modulo p, in [0, 2p).
inline u64 redc(u128 t, const prime& m)
{
    const u64 q = static_cast<u64>(t) * m.negp;
    return static_cast<u64>((t + static_cast<u128>(q) * m.p) >> 64);
}
// a * b / 2^64 modulo p, in [0, 2p), for a * b < 2^64 p.
inline u64 montmul(u64 a, u64 b, const prime& m)
{
    return redc(static_cast<u128>(a) * b, m);
}
inline u64 reduce2(u64 x, u64 p)  // [0, 2p) to [0, p)
{
    return x >= p ? x - p : x;
}
inline u64 addmod(u64 a, u64 b, u64 p)  // for a, b < p
{
    return reduce2(a + b, p);
}
inline u64 submod(u64 a, u64 b, u64 p)  // for a, b < p
{
    return a >= b ? a - b : a + p - b;
}
inline u64 tomont(u64 x, const prime& m)
{
    return reduce2(montmul(x, m.rsquare, m), m.p);
}

// Shoup's product w * y modulo p in [0, 2p), for a fixed w < p with wq = floor(w 2^64 / p) and
// any y < 2^64.
inline u64 shoup(u64 w, u64 wq, u64 y, u64 p)
{
    const u64 q = static_cast<u64>((static_cast<u128>(wq) * y) >> 64);
    return w * y - q * p;
}

// ---- Tables of roots of unity ----------------------------------------------------------------

// A block of tables: the half-length H it holds and the bits of its quotients, then for each
// prime four arrays of 2H words. One block serves every length up to 2H, since w_2h is the same
// root whatever the length.
constexpr std::size_t tablewords(std::size_t halflength)
{
    return 2 + std::size_t{24} * halflength;  // 3 primes, 4 arrays of 2H
}

// floor(x 2^64 / p) for x < p: from a reciprocal of p, at most two too small, then corrected.
struct quotients
{
    explicit quotients(u64 modulus)
        : p(modulus),
          reciprocalhigh(low64(~static_cast<u128>(0) / modulus >> 64)),
          reciprocallow(low64(~static_cast<u128>(0) / modulus))
    {
    }
    u64 operator()(u64 x) const
    {
        u64 q = low64(static_cast<u128>(x) * reciprocalhigh +
                      (static_cast<u128>(x) * reciprocallow >> 64));
        u128 r = (static_cast<u128>(x) << 64) - static_cast<u128>(q) * p;
        while (r >= p)
        {
            ++q;
            r -= p;
        }
        return q;
    }
    u64 p, reciprocalhigh, reciprocallow;
};

void filltables(u64* block, std::size_t halflength, unsigned quotientbits)
{
    const std::size_t stride = 2 * halflength;
    for (std::size_t k = 0; k < 3; ++k)
    {
        const prime& m = primes[k];
        const quotients quotient(m.p);
        u64* fw = block + 2 + (4 * k) * stride;
        u64* fq = fw + stride;
        u64* iw = fq + stride;
        u64* iq = iw + stride;
        for (std::size_t h = 1; h <= halflength; h *= 2)
        {
            const u64 w = powmod(m.root, (m.p - 1) / (2 * h), m.p);
            const u64 wm = tomont(w, m), winvm = tomont(powmod(w, 2 * h - 1, m.p), m);
            u64 f = tomont(1, m), i = f;  // Montgomery forms of the powers
            for (std::size_t j = 0; j < h; ++j)
            {
                fw[h + j] = reduce2(redc(f, m), m.p);
                iw[h + j] = reduce2(redc(i, m), m.p);
                fq[h + j] = quotient(fw[h + j]) >> (64 - quotientbits);
                iq[h + j] = quotient(iw[h + j]) >> (64 - quotientbits);
                f = reduce2(montmul(f, wm, m), m.p);
                i = reduce2(montmul(i, winvm, m), m.p);
            }
        }
    }
    block[0] = halflength;
    block[1] = quotientbits;
}

roottable tableof(const u64* block, std::size_t k)
{
    const std::size_t stride = 2 * static_cast<std::size_t>(block[0]);
    const u64* fw = block + 2 + (4 * k) * stride;
    return {fw, fw + stride, fw + 2 * stride, fw + 3 * stride};
}

// ---- Portable transforms ---------------------------------------------------------------------

// Blocks up to this many values are transformed stage by stage; larger ones recurse depth first,
// so that every block of this size is finished while it is in the cache.
constexpr std::size_t leaf = std::size_t{1} << 12;

// Decimation in frequency, radix 2, length n (a power of 2): values in [0, 2p) stay there.
void forward2(u64* a, std::size_t n, const roottable& t, u64 p)
{
    const u64 twop = 2 * p;
    auto butterflies = [&](u64* x, std::size_t h)
    {
        for (std::size_t j = 0; j < h; ++j)
        {
            const u64 u = x[j], v = x[j + h];
            const u64 s = u + v;
            x[j] = s >= twop ? s - twop : s;
            x[j + h] = shoup(t.forward[h + j], t.forwardq[h + j], u - v + twop, p);
        }
    };
    if (n > leaf)
    {
        butterflies(a, n / 2);
        forward2(a, n / 2, t, p);
        forward2(a + n / 2, n / 2, t, p);
        return;
    }
    for (std::size_t h = n / 2; h >= 1; h /= 2)
        for (std::size_t s = 0; s < n; s += 2 * h) butterflies(a + s, h);
}

// Decimation in time, radix 2, the inverse of forward2 but for the factor n: values in [0, 4p)
// stay there.
void inverse2(u64* a, std::size_t n, const roottable& t, u64 p)
{
    const u64 twop = 2 * p;
    auto butterflies = [&](u64* x, std::size_t h)
    {
        for (std::size_t j = 0; j < h; ++j)
        {
            u64 u = x[j];
            u = u >= twop ? u - twop : u;
            const u64 v = shoup(t.inverse[h + j], t.inverseq[h + j], x[j + h], p);
            x[j] = u + v;
            x[j + h] = u - v + twop;
        }
    };
    if (n > leaf)
    {
        inverse2(a, n / 2, t, p);
        inverse2(a + n / 2, n / 2, t, p);
        butterflies(a, n / 2);
        return;
    }
    for (std::size_t h = 1; h < n; h *= 2)
        for (std::size_t s = 0; s < n; s += 2 * h) butterflies(a + s, h);
}

// The radix-3 stage of a transform of length 3n, decimation in frequency: values below p come in,
// values below 2p go out, the thirds then each transformed by forward2. With w a primitive 3n-th
// root and r = w^n a cube root of unity (so r^2 = -1 - r):
//   a[j] = x0 + x1 + x2, a[j + n] = (x0 + r x1 + r^2 x2) w^j, a[j + 2n] = (x0 + r^2 x1 + r x2)
//   w^2j.
void forward3(u64* a, std::size_t n, const prime& m)
{
    const u64 p = m.p;
    const u64 w = powmod(m.root, (p - 1) / (3 * n), p);
    const u64 r = tomont(powmod(w, n, p), m);
    const u64 wm = tomont(w, m);
    u64 wj = tomont(1, m);  // w^j, Montgomery form
    for (std::size_t j = 0; j < n; ++j)
    {
        const u64 x0 = a[j], x1 = a[j + n], x2 = a[j + 2 * n];
        const u64 u = reduce2(montmul(submod(x1, x2, p), r, m), p);  // r (x1 - x2)
        a[j] = addmod(addmod(x0, x1, p), x2, p);
        a[j + n] = montmul(addmod(submod(x0, x2, p), u, p), wj, m);
        a[j + 2 * n] = montmul(submod(submod(x0, x1, p), u, p), montmul(wj, wj, m), m);
        wj = reduce2(montmul(wj, wm, m), p);
    }
}

// The inverse of forward3 (but for the factor 3), after inverse2 on each third: values below 4p
// come in, values below p go out.
void inverse3(u64* a, std::size_t n, const prime& m)
{
    const u64 p = m.p;
    const u64 w = powmod(powmod(m.root, (p - 1) / (3 * n), p), 3 * n - 1, p);  // w^-1
    const u64 r = tomont(powmod(w, n, p), m);
    const u64 wm = tomont(w, m);
    u64 wj = tomont(1, m);
    for (std::size_t j = 0; j < n; ++j)
    {
        const u64 y0 = reduce2(reduce2(a[j], 2 * p), p);
        const u64 y1 = reduce2(montmul(reduce2(a[j + n], 2 * p), wj, m), p);
        const u64 y2 =
            reduce2(montmul(reduce2(a[j + 2 * n], 2 * p), reduce2(montmul(wj, wj, m), p), m), p);
        const u64 u = reduce2(montmul(submod(y1, y2, p), r, m), p);
        a[j] = addmod(addmod(y0, y1, p), y2, p);
        a[j + n] = addmod(submod(y0, y2, p), u, p);
        a[j + 2 * n] = submod(submod(y0, y1, p), u, p);
        wj = reduce2(montmul(wj, wm, m), p);
    }
}

// The limbs of `a` below p, zero up to `length`, transformed.
void load(u64* x, const u64* a, std::size_t na, const job& j, const roottable& t, const prime& m)
{
    const u64 reciprocal = ~u64{0} / m.p;
    for (std::size_t i = 0; i < na; ++i) x[i] = reduceinput(a[i], m.p, reciprocal);
    std::fill(x + na, x + j.length, u64{0});
    if (j.length == j.n)
        forward2(x, j.n, t, m.p);
    else
    {
        forward3(x, j.n, m);
        for (std::size_t third = 0; third < 3; ++third) forward2(x + third * j.n, j.n, t, m.p);
    }
}
}  // namespace

void portableresidues(const job& j, const roottable& t, const prime& m)
{
    u64* x = j.x;
    load(x, j.a, j.na, j, t, m);
    if (j.square)
        for (std::size_t i = 0; i < j.length; ++i) x[i] = montmul(x[i], x[i], m);
    else
    {
        load(j.other, j.b, j.nb, j, t, m);
        for (std::size_t i = 0; i < j.length; ++i) x[i] = montmul(x[i], j.other[i], m);
    }
    // Back, and scaled: the pointwise products left c / 2^64, the transform length * c / 2^64;
    // a Montgomery product with 2^128 / length brings back c.
    if (j.length == j.n)
        inverse2(x, j.n, t, m.p);
    else
    {
        for (std::size_t third = 0; third < 3; ++third) inverse2(x + third * j.n, j.n, t, m.p);
        inverse3(x, j.n, m);
    }
    const u64 scale =
        low64(static_cast<u128>(m.rsquare) * powmod(j.length % m.p, m.p - 2, m.p) % m.p);
    for (std::size_t i = 0; i < j.length; ++i)
        x[i] = reduce2(montmul(reduce2(x[i], 2 * m.p), scale, m), m.p);
}

namespace
{
// ---- The Chinese remainder theorem into limbs of base 10^18 ----------------------------------

// Writes r[0, count] from the coefficients 0 to count - 1 (residues below p of the three
// transforms), with their carries; the last carry is limb count. Each coefficient c is rebuilt
// and split into three limbs c = a B^2 + b B + r on its own (no carry runs through the splits, so
// they overlap); a second pass adds r, the b of the coefficient below and the a of the one below
// that, with small carries.
void recombine(u64* r, std::size_t count, u64* const residues[3])
{
    const prime &m0 = primes[0], &m1 = primes[1], &m2 = primes[2];
    // p0^-1 mod p1, p0^-1 mod p2, p1^-1 mod p2, in Montgomery form so that one reduction
    // multiplies by them.
    const u64 inv01 = tomont(powmod(m0.p % m1.p, m1.p - 2, m1.p), m1);
    const u64 inv02 = tomont(powmod(m0.p % m2.p, m2.p - 2, m2.p), m2);
    const u64 inv12 = tomont(powmod(m1.p % m2.p, m2.p - 2, m2.p), m2);
    const u128 p01 = static_cast<u128>(m0.p) * m1.p;
    const u64 p01low = static_cast<u64>(p01), p01high = static_cast<u64>(p01 >> 64);
    // The residue arrays take the three limbs of each coefficient in their place.
    u64* splitr = residues[0];
    u64* splitb = residues[1];
    u64* splita = residues[2];
    for (std::size_t k = 0; k < count; ++k)
    {
        const u64 x0 = residues[0][k], x1 = residues[1][k], x2 = residues[2][k];
        // c = x0 + p0 t1 + p0 p1 t2 with t1 = (x1 - x0) / p0 mod p1, t2 = ((x2 - x0) / p0 - t1) /
        // p1 mod p2. Each prime is below twice the next, so one subtraction reduces modulo the
        // next.
        const u64 t1 = reduce2(montmul(submod(x1, reduce2(x0, m1.p), m1.p), inv01, m1), m1.p);
        const u64 s = reduce2(montmul(submod(x2, reduce2(x0, m2.p), m2.p), inv02, m2), m2.p);
        const u64 t2 = reduce2(montmul(submod(s, reduce2(t1, m2.p), m2.p), inv12, m2), m2.p);
        // Three words (below 2^150): x0 + p0 t1 + p0 p1 t2.
        const u128 lowpart = static_cast<u128>(m0.p) * t1 + x0;
        const u128 b = static_cast<u128>(p01low) * t2;
        u128 mid = (lowpart >> 64) + (b >> 64) + static_cast<u128>(p01high) * t2;
        const u128 low = static_cast<u128>(static_cast<u64>(lowpart)) + static_cast<u64>(b);
        mid += low >> 64;
        const u64 w0 = static_cast<u64>(low), w1 = static_cast<u64>(mid);
        const u64 w2 = static_cast<u64>(mid >> 64);
        // c / 10^18 (normalised by four bits) gives r and a quotient below 2^91, which splits
        // into b and a.
        u64 rem = 0;
        const u64 qhigh = divnorm((w2 << normshift) | (w1 >> (64 - normshift)),
                                  (w1 << normshift) | (w0 >> (64 - normshift)), rem);
        const u64 qlow = divnorm(rem, w0 << normshift, rem);
        splitr[k] = rem >> normshift;
        splita[k] = divbasesmall((static_cast<u128>(qhigh) << 64) | qlow, splitb[k]);
    }
    u64 carry = 0;
    for (std::size_t k = 0; k <= count; ++k)
    {
        u64 limb = carry + (k < count ? splitr[k] : 0) + (k >= 1 ? splitb[k - 1] : 0) +
                   (k >= 2 ? splita[k - 2] : 0);  // below 3B + 2
        carry = 0;
        while (limb >= limbbase)
        {
            limb -= limbbase;
            ++carry;
        }
        r[k] = limb;
    }
    assert(carry == 0 && (count < 1 || splita[count - 1] == 0));
}

std::atomic<bool> portableonly{false};
}  // namespace
}  // namespace transform

bool transformportable(bool portable)
{
    return transform::portableonly.exchange(portable);
}

std::size_t transformfrom()
{
    const bool vector =
        !transform::portableonly.load(std::memory_order_relaxed) && transform::vectoravailable();
    return vector ? 450 : 1100;
}

void transformproduct(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb)
{
    using namespace transform;
    assert(na >= 1 && nb >= 1);
    const std::uint64_t need = std::uint64_t{na} + nb - 1;
    if (need > longesttransform)
        throw std::length_error("fixedint: product beyond the longest transform");
    // The shortest length 2^k or 3 * 2^k that holds the product; n is its power of 2.
    std::size_t n = 1;
    while (n < need) n *= 2;
    std::size_t length = n;
    if (n % 4 == 0 && 3 * (n / 4) >= need)
    {
        n /= 4;
        length = 3 * n;
    }
    // A square (x * x makes a copy of x, so equal limbs count too) needs one forward transform.
    const bool square = na == nb && (a == b || std::equal(a, a + na, b));
    const bool vector = !portableonly.load(std::memory_order_relaxed) && vectoravailable();
    const unsigned quotientbits = vector ? 52 : 64;

    // The roots, kept for the thread and made again when a longer transform needs them.
    std::vector<u64> owntables;
    u64* tables = keptmemory(slot::roots, 0);
    const std::size_t half = std::max<std::size_t>(n / 2, 8);
    if (tables == nullptr || tables[0] < half || tables[1] != quotientbits)
    {
        u64* kept = keptmemory(slot::roots, tablewords(half));
        if (kept == nullptr)
        {
            owntables.resize(tablewords(half));
            kept = owntables.data();
        }
        filltables(kept, half, quotientbits);
        tables = kept;
    }

    const scratch space(4 * length, slot::transform);
    u64* residues[3] = {space.data, space.data + length, space.data + 2 * length};
    for (std::size_t k = 0; k < 3; ++k)
    {
        const job j{residues[k], space.data + 3 * length, a, na, b, nb, length, n, square};
        if (vector)
            vectorresidues(j, tableof(tables, k), primes[k]);
        else
            portableresidues(j, tableof(tables, k), primes[k]);
    }
    recombine(r, na + nb - 1, residues);
}
}  // namespace detail
}  // namespace QUORVEL
