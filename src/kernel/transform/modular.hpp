// Internal: the primes of the number-theoretic transform and arithmetic modulo them, on single
// words. Not installed.
//
// Why nothing overflows: a coefficient of the product of limb strings of na and nb limbs is a sum
// of at most min(na, nb) products below 10^36. Transforms are at most 2^31 long, so
// min(na, nb) <= 2^30 and every coefficient is below 2^30 * 10^36 < 1.43 * 10^9 * 10^36, which is
// below p0 p1 p2 (> 2^149.99): its residues determine it. Longer products are refused with
// std::length_error before anything is computed (transform.cpp); memory runs out long before.
// The limit is the same on every backend: the integer lanes keep values below 4p < 2^52 and the
// lanes of doubles below 4p in magnitude (fmalane.hpp), each pair of stages reducing what it
// makes, so no length lets a value grow.
#pragma once

#include "kernel/limb.hpp"

#include <cassert>
#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
/// A prime of the transform: 1 modulo 3 * 2^30, below 2^50 (so that four times it fits the 52
/// bits of the vector multiplier, and lazy values below 4p fit any word).
struct prime
{
    u64 p;
    u64 root;       // a primitive root
    u64 negp;       // -p^-1 mod 2^64 (Montgomery's reduction with R = 2^64)
    u64 negp52;     // -p^-1 mod 2^52 (with R = 2^52)
    u64 rsquare;    // 2^128 mod p
    u64 rsquare52;  // 2^104 mod p
};
extern const prime primes[3];

u64 powmod(u64 base, u64 exponent, u64 p);

/// Montgomery's reduction of t < 2^64 p: t / 2^64 modulo p, in [0, 2p).
inline u64 redc(u128 t, const prime& m)
{
    const u64 q = static_cast<u64>(t) * m.negp;
    return static_cast<u64>((t + static_cast<u128>(q) * m.p) >> 64);
}
/// a * b / 2^64 modulo p, in [0, 2p), for a * b < 2^64 p.
inline u64 montmul(u64 a, u64 b, const prime& m)
{
    return redc(static_cast<u128>(a) * b, m);
}
/// x in [0, 2k) to [0, k). In the lazy butterflies k is 2p: values kept below 4p. A value of
/// exactly k left unreduced (a `>` for the `>=`) would stay inside those bounds and change no
/// result; what the comparison protects is the bound itself, checked here in Debug builds.
inline u64 reduce2(u64 x, u64 k)
{
    assert(x < 2 * k && "a lazy value reached twice its bound");
    const u64 r = x >= k ? x - k : x;
    assert(r < k);
    return r;
}
/// x * 2^64 modulo p: Montgomery's form of x.
inline u64 tomont(u64 x, const prime& m)
{
    return reduce2(montmul(x, m.rsquare, m), m.p);
}

/// 1 / length modulo p, for a length 2^k that divides p - 1: where d divides p - 1,
/// d ((p - 1) / d) = -1, so 1 / d = p - (p - 1) / d.
inline u64 inverseoflength(std::size_t length, u64 p)
{
    return p - (p - 1) / length;
}

/// x mod p for x < 2^64, by one multiplication with a precomputed reciprocal (~0 / p).
inline u64 reduceinput(u64 x, u64 p, u64 reciprocal)
{
    const u64 q = static_cast<u64>((static_cast<u128>(x) * reciprocal) >> 64);
    u64 r = x - q * p;  // below 3p: the quotient is at most two too small
    r = r >= p ? r - p : r;
    return r >= p ? r - p : r;
}

/// x[i] = a[i] mod p for i < na: the residues of limbs, as the lanes of integers hold them.
inline void integerresidues(u64* x, const u64* a, std::size_t na, const prime& m)
{
    const u64 reciprocal = ~u64{0} / m.p;
    for (std::size_t i = 0; i < na; ++i) x[i] = reduceinput(a[i], m.p, reciprocal);
}

/// Roots of unity for half-lengths h = 1, 2, 4, ...: at index h + j (j < h) the root w_2h^j of
/// the forward transform, w_2h^-j of the inverse, each with its Shoup quotient
/// floor(w 2^q / p), q being the backend's `quotientbits`.
struct roottable
{
    const u64* forward;
    const u64* forwardq;
    const u64* inverse;
    const u64* inverseq;
};

/// The residues modulo one prime of the product of a[0, na) and b[0, nb) (limbs below 10^18), times
/// `factor`, as a transform of length n (a power of 2) truncated to its first `keep` values (n, or
/// a multiple of tuning::transformstep that holds the product) gives them: x[0, keep) ends fully
/// reduced, below p, and x[keep, n) is scratch. `other` is scratch of n words; with `square`, b is
/// a and it is not used.
struct job
{
    u64* x;
    u64* other;
    const u64* a;
    std::size_t na;
    const u64* b;
    std::size_t nb;
    std::size_t n;
    std::size_t keep;
    bool square;
    u64 factor;
};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
