// The Chinese remainder theorem into limbs of base 10^18: the three residues of each coefficient
// of a product joined into the coefficient, and the coefficients into limbs with their carries.
//
// With P = p0 p1 p2, M_k = P / p_k and y_k the residue modulo p_k times M_k^-1 (the transform
// multiplies by that: `crtfactor`), a coefficient c is y0 M0 + y1 M1 + y2 M2 - j P, where
// j = floor(y0 / p0 + y1 / p1 + y2 / p2). Every coefficient of a product is below
// 2^30 10^36 < 0.76 P (modular.hpp), so that sum of fractions lies at least 0.24 below the next
// integer, and a double finds j exactly with a quarter to spare. M_k and j P are held in base
// 10^18 already, so c comes out as its three limbs with two divisions by the base; each quotient
// is estimated in a double and its remainder computed in the low word, where it is exact.
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
    u64 m[3][2];          // M_k in base B = 10^18: low limb, high limb (M_k < 2^101 < B^2)
    double mb[3][2];      // the same over B, for the estimates of the quotients
    u64 jp[3][3];         // j P in base 10^18 for j = 0, 1, 2: three limbs each (2P < B^3)
    double offset[3][2];  // the offsets of `split` over B, for j = 0, 1, 2
    double pinv[3];       // 1 / p_k
};

// Offsets of two units keep the partial sums of `split` positive.
constexpr u64 lowoffset(const u64* jp)
{
    return 2 * limbbase - jp[0];
}
constexpr u64 highoffset(const u64* jp)
{
    return 2 * limbbase - 2 - jp[1];
}

moduli makemoduli()
{
    moduli x{};
    constexpr double base = 1e18;
    for (std::size_t k = 0; k < 3; ++k)
    {
        const u128 m = static_cast<u128>(primes[(k + 1) % 3].p) * primes[(k + 2) % 3].p;
        u64 low = 0;
        x.m[k][1] = static_cast<u64>(divbase(m, low));
        x.m[k][0] = low;
        x.mb[k][0] = static_cast<double>(x.m[k][0]) / base;
        x.mb[k][1] = static_cast<double>(x.m[k][1]) / base;
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
        // The biases: see `split`.
        x.offset[j][0] = static_cast<double>(lowoffset(x.jp[j])) / base + 0.5;
        x.offset[j][1] = static_cast<double>(highoffset(x.jp[j])) / base - 0.01;
    }
    return x;
}

const moduli crt = makemoduli();

// The coefficient of the residues y0, y1, y2 (below 2^50) as three limbs: c = a B^2 + b B + r.
// With the columns col0 = sum y_k (M_k)_0 and col1 = sum y_k (M_k)_1,
// t0 = col0 + 2B - (jP)_0 = q0 B + r, t1 = col1 + q0 + 2B - 2 - (jP)_1 = q1 B + b and
// a = q1 - 2 - (jP)_2. Each quotient is estimated in a double from the residues: t0 / B (below
// 2^52) to within 1.375 (the constants over B, the three products and four sums rounded, fused or
// not), so with a bias of 0.5 its floor less 2 is q0 - 3 to q0 and the remainder from the low words
// is below 4B; t1 / B less q0 / B (below 2^-7.8) to within 2^-20, so with a bias of -0.01 its floor
// is q1 - 1 or q1 and the remainder is below 2B. Both estimates are positive (t0 and t1 exceed B),
// so a conversion that truncates floors them.
inline void split(u64 y0, u64 y1, u64 y2, u64& r, u64& b, u64& a)
{
    // (The residues, below 2^50, convert as signed integers: one instruction each.)
    const double f0 = static_cast<double>(static_cast<std::int64_t>(y0));
    const double f1 = static_cast<double>(static_cast<std::int64_t>(y1));
    const double f2 = static_cast<double>(static_cast<std::int64_t>(y2));
    const double fractions = f0 * crt.pinv[0] + f1 * crt.pinv[1] + f2 * crt.pinv[2];
    const auto j = static_cast<std::size_t>(fractions + 0.125);  // floor: the sum is positive
    const u64* jp = crt.jp[j];
    const double* offset = crt.offset[j];

    const u64 t0 = y0 * crt.m[0][0] + y1 * crt.m[1][0] + y2 * crt.m[2][0] + lowoffset(jp);
    const double e0 = f0 * crt.mb[0][0] + f1 * crt.mb[1][0] + f2 * crt.mb[2][0] + offset[0];
    u64 q0 = static_cast<u64>(static_cast<std::int64_t>(e0)) - 2;  // modulo 2^64, as the words
    const u64 x0 = t0 - q0 * limbbase;
    const u64 k0 = static_cast<u64>(x0 >= limbbase) + static_cast<u64>(x0 >= 2 * limbbase) +
                   static_cast<u64>(x0 >= 3 * limbbase);
    r = x0 - k0 * limbbase;
    q0 += k0;

    const u64 t1 = y0 * crt.m[0][1] + y1 * crt.m[1][1] + y2 * crt.m[2][1] + q0 + highoffset(jp);
    const double e1 = f0 * crt.mb[0][1] + f1 * crt.mb[1][1] + f2 * crt.mb[2][1] + offset[1];
    u64 q1 = static_cast<u64>(static_cast<std::int64_t>(e1));
    const u64 x1 = t1 - q1 * limbbase;
    const u64 k1 = static_cast<u64>(x1 >= limbbase);
    b = x1 - k1 * limbbase;
    q1 += k1;
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
// so they overlap); r, the b of the coefficient below and the a of the one below that are added
// with small carries as they come.
void recombine(u64* r, std::size_t count, u64* const residues[3])
{
    const u64* y0 = residues[0];
    const u64* y1 = residues[1];
    const u64* y2 = residues[2];
    u64 carry = 0, below = 0, a1 = 0, a2 = 0;  // b of k - 1, a of k - 1 and of k - 2
    const auto add = [&carry](u64 limb)        // limb below 3B + 2
    {
        carry = static_cast<u64>(limb >= limbbase) + static_cast<u64>(limb >= 2 * limbbase) +
                static_cast<u64>(limb >= 3 * limbbase);  // without branches: they would mispredict
        return limb - carry * limbbase;
    };
    for (std::size_t k = 0; k < count; ++k)
    {
        u64 low = 0, middle = 0, high = 0;
        split(y0[k], y1[k], y2[k], low, middle, high);
        r[k] = add(carry + low + below + a2);
        below = middle;
        a2 = a1;
        a1 = high;
    }
    r[count] = add(carry + below + a2);
    assert(carry == 0 && a1 == 0);
}
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
