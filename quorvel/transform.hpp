// Internal: what the two implementations of the number-theoretic transform share (the portable
// one in ntt.cpp, the AVX-512 IFMA one in ntt_ifma.cpp). Not installed.
#pragma once

#include "quorvel/limb.hpp"

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

/// Roots of unity for half-lengths h = 1, 2, 4, ...: at index h + j (j < h) the root w_2h^j of
/// the forward transform, w_2h^-j of the inverse, each with its Shoup quotient floor(w 2^q / p),
/// q being 64 for the portable transforms and 52 for the vector ones.
struct roottable
{
    const u64* forward;
    const u64* forwardq;
    const u64* inverse;
    const u64* inverseq;
};

/// The residues modulo `m` of the product of a[0, na) and b[0, nb) (limbs below 10^18), as a
/// transform of `length` (n or 3n, n a power of 2) gives them: x[0, length) ends fully reduced,
/// below p. `other` is scratch of `length` words; with `square`, b is a and it is not used.
struct job
{
    u64* x;
    u64* other;
    const u64* a;
    std::size_t na;
    const u64* b;
    std::size_t nb;
    std::size_t length;
    std::size_t n;
    bool square;
};
void portableresidues(const job& j, const roottable& t, const prime& m);

/// Whether this processor runs the AVX-512 IFMA transforms (and this build has them).
bool vectoravailable();
void vectorresidues(const job& j, const roottable& t, const prime& m);

/// x mod p for x < 2^64, by one multiplication with a precomputed reciprocal.
inline u64 reduceinput(u64 x, u64 p, u64 reciprocal)
{
    const u64 q = static_cast<u64>((static_cast<u128>(x) * reciprocal) >> 64);
    u64 r = x - q * p;  // below 3p: the quotient is at most two too small
    r = r >= p ? r - p : r;
    return r >= p ? r - p : r;
}
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
