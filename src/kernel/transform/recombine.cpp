// The Chinese remainder theorem into limbs of base 10^18: the three residues of each coefficient
// of a product joined into the coefficient, and the coefficients into limbs with their carries.
#include "kernel/transform/transform.hpp"

#include <cassert>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
// Each coefficient c is rebuilt and split into three limbs c = a B^2 + b B + r on its own (no
// carry runs through the splits, so they overlap); a second pass adds r, the b of the coefficient
// below and the a of the one below that, with small carries.
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
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
