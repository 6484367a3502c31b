// The Chinese remainder theorem into limbs of base 10^18: the three residues of each coefficient
// of a product joined into the coefficient, and the coefficients into limbs with their carries.
//
// With P = p0 p1 p2, M_k = P / p_k and y_k the residue modulo p_k times M_k^-1 (the transform
// multiplies by that: `crtfactor`), a coefficient c is y0 M0 + y1 M1 + y2 M2 - j P, where
// j = floor(y0 / p0 + y1 / p1 + y2 / p2). Every coefficient of a product is below
// 2^30 10^36 < 0.76 P (modular.hpp), so that sum of fractions lies at least 0.24 below the next
// integer, and a double finds j exactly with a quarter to spare. M_k and j P are held in base
// 10^18 already, so c comes out as its three limbs with two divisions by the base.
#include "kernel/transform/transform.hpp"

#include <cassert>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace
{
struct moduli
{
    u64 m[3][2];     // M_k in base 10^18: low limb, high limb (M_k < 2^101 < B^2)
    u64 jp[3][3];    // j P in base 10^18 for j = 0, 1, 2: three limbs each (2P < B^3)
    double pinv[3];  // 1 / p_k
};

moduli makemoduli()
{
    moduli x{};
    for (std::size_t k = 0; k < 3; ++k)
    {
        const u128 m = static_cast<u128>(primes[(k + 1) % 3].p) * primes[(k + 2) % 3].p;
        u64 low = 0;
        x.m[k][1] = static_cast<u64>(divbase(m, low));
        x.m[k][0] = low;
        x.pinv[k] = 1.0 / static_cast<double>(primes[k].p);
    }
    // P = M_0 p_0, limb by limb; then 2P.
    const u64 p0 = primes[0].p;
    u64 low = 0, middle = 0;
    const u128 carry = divbase(static_cast<u128>(x.m[0][0]) * p0, low);
    const u128 top = divbase(static_cast<u128>(x.m[0][1]) * p0 + carry, middle);
    const u64 p[3] = {low, middle, static_cast<u64>(top)};
    for (std::size_t j = 0; j < 3; ++j)
    {
        u64 c = 0;
        for (std::size_t i = 0; i < 3; ++i)
        {
            const u64 v = j * p[i] + c;  // below 3B
            c = v / limbbase;
            x.jp[j][i] = v % limbbase;
        }
    }
    return x;
}

const moduli crt = makemoduli();

// The coefficient of the residues y0, y1, y2 as three limbs: c = a B^2 + b B + r. Offsets of two
// units keep the partial sums positive: t0 = col0 + 2B - (jP)_0 and
// t1 = col1 + t0 / B - 2 + 2B - (jP)_1 are above zero, and a = t1 / B - 2 - (jP)_2.
inline void split(u64 y0, u64 y1, u64 y2, u64& r, u64& b, u64& a)
{
    // (The residues, below 2^50, convert as signed integers: one instruction each.)
    const double fractions = static_cast<double>(static_cast<std::int64_t>(y0)) * crt.pinv[0] +
                             static_cast<double>(static_cast<std::int64_t>(y1)) * crt.pinv[1] +
                             static_cast<double>(static_cast<std::int64_t>(y2)) * crt.pinv[2];
    const auto j = static_cast<std::size_t>(fractions + 0.125);  // floor: the sum is positive
    const u64* jp = crt.jp[j];
    const u128 col0 = static_cast<u128>(y0) * crt.m[0][0] + static_cast<u128>(y1) * crt.m[1][0] +
                      static_cast<u128>(y2) * crt.m[2][0];  // below 3 2^110
    const u128 col1 = static_cast<u128>(y0) * crt.m[0][1] + static_cast<u128>(y1) * crt.m[1][1] +
                      static_cast<u128>(y2) * crt.m[2][1];
    const u64 q0 = divbasesmall(col0 + (2 * limbbase - jp[0]), r);
    const u64 q1 = divbasesmall(col1 + q0 + (2 * limbbase - 2 - jp[1]), b);
    a = q1 - 2 - jp[2];
}
}  // namespace

u64 crtfactor(std::size_t k)
{
    struct factors
    {
        u64 f[3];
    };
    static const factors made = []
    {
        factors x{};
        for (std::size_t i = 0; i < 3; ++i)
        {
            const u64 p = primes[i].p;
            const u64 m = static_cast<u64>(static_cast<u128>(primes[(i + 1) % 3].p) *
                                           primes[(i + 2) % 3].p % p);
            x.f[i] = powmod(m, p - 2, p);
        }
        return x;
    }();
    return made.f[k];
}

// Each coefficient is split into its three limbs on its own (no carry runs through the splits,
// so they overlap); a second pass adds r, the b of the coefficient below and the a of the one
// below that, with small carries.
void recombine(u64* r, std::size_t count, u64* const residues[3])
{
    // The residue arrays take the three limbs of each coefficient in their place.
    u64* splitr = residues[0];
    u64* splitb = residues[1];
    u64* splita = residues[2];
    for (std::size_t k = 0; k < count; ++k)
        split(residues[0][k], residues[1][k], residues[2][k], splitr[k], splitb[k], splita[k]);
    u64 carry = 0;
    for (std::size_t k = 0; k <= count; ++k)
    {
        const u64 limb = carry + (k < count ? splitr[k] : 0) + (k >= 1 ? splitb[k - 1] : 0) +
                         (k >= 2 ? splita[k - 2] : 0);  // below 3B + 2
        carry = (limb >= limbbase ? 1U : 0U) + (limb >= 2 * limbbase ? 1U : 0U) +
                (limb >= 3 * limbbase ? 1U : 0U);  // without branches: they would mispredict
        r[k] = limb - carry * limbbase;
    }
    assert(carry == 0 && (count < 1 || splita[count - 1] == 0));
}
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
