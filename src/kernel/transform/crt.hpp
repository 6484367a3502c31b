// Internal: the Chinese remainder theorem into limbs of base 10^18, shared by the portable
// recombination (recombine.cpp) and the one with AVX2 (recombinewide.cpp). Not installed.
//
// With P = p0 p1 p2, M_k = P / p_k and y_k the residue modulo p_k times M_k^-1 (the transform
// multiplies by that: `crtfactor`), a coefficient c is y0 M0 + y1 M1 + y2 M2 - j P, where
// j = floor(y0 / p0 + y1 / p1 + y2 / p2). Every coefficient of a product is below
// 2^30 10^36 < 0.76 P (modular.hpp), so that sum of fractions lies at least 0.24 below the next
// integer, and a double finds j exactly with a quarter to spare. M_k and j P are held in base
// 10^18 already, so c comes out as its three limbs with two divisions by the base; each quotient
// is estimated in a double and its remainder computed in the low word, where it is exact.
//
// With the columns col0 = sum y_k (M_k)_0 and col1 = sum y_k (M_k)_1, and B = 10^18:
// t0 = col0 + 2B - (jP)_0 = q0 B + r, t1 = col1 + q0 + 2B - 2 - (jP)_1 = q1 B + b and
// a = q1 - 2 - (jP)_2 (the offsets of two units keep the partial sums positive). The estimate of
// t0 / B (below 2^52) is within 1.375 of it (the constants over B, three products and four sums
// rounded, fused or not), so with a bias of 0.5 its floor less 2 is q0 - 3 to q0 and the remainder
// from the low words is below 4B; t1 / B less q0 / B (below 2^-7.8) is within 2^-20, so with a
// bias of -0.01 its floor is q1 - 1 or q1 and the remainder is below 2B. Both estimates are
// positive (t0 and t1 exceed B), so a conversion that truncates floors them.
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
struct moduli
{
    u64 m[3][2];          // M_k in base B: low limb, high limb (M_k < 2^101 < B^2)
    double mb[3][2];      // the same over B, for the estimates of the quotients
    u64 low[3];           // for j = 0, 1, 2: 2B - (jP)_0
    u64 high[3];          // 2B - 2 - (jP)_1
    u64 top[3];           // 2 + (jP)_2
    double offset[3][2];  // low[j] / B + 0.5 and high[j] / B - 0.01: the biased offsets
    double pinv[3];       // 1 / p_k
};
extern const moduli crt;

/// The coefficient of the residues y0, y1, y2 (below 2^50) as three limbs: c = a B^2 + b B + r.
inline void split(u64 y0, u64 y1, u64 y2, u64& r, u64& b, u64& a)
{
    // (The residues, below 2^50, convert as signed integers: one instruction each.)
    const double f0 = static_cast<double>(static_cast<std::int64_t>(y0));
    const double f1 = static_cast<double>(static_cast<std::int64_t>(y1));
    const double f2 = static_cast<double>(static_cast<std::int64_t>(y2));
    const double fractions = f0 * crt.pinv[0] + f1 * crt.pinv[1] + f2 * crt.pinv[2];
    const auto j = static_cast<std::size_t>(fractions + 0.125);  // floor: the sum is positive

    const u64 t0 = y0 * crt.m[0][0] + y1 * crt.m[1][0] + y2 * crt.m[2][0] + crt.low[j];
    const double e0 = f0 * crt.mb[0][0] + f1 * crt.mb[1][0] + f2 * crt.mb[2][0] + crt.offset[j][0];
    u64 q0 = static_cast<u64>(static_cast<std::int64_t>(e0)) - 2;  // modulo 2^64, as the words
    const u64 x0 = t0 - q0 * limbbase;
    const u64 k0 = static_cast<u64>(x0 >= limbbase) + static_cast<u64>(x0 >= 2 * limbbase) +
                   static_cast<u64>(x0 >= 3 * limbbase);
    r = x0 - k0 * limbbase;
    q0 += k0;

    const u64 t1 = y0 * crt.m[0][1] + y1 * crt.m[1][1] + y2 * crt.m[2][1] + q0 + crt.high[j];
    const double e1 = f0 * crt.mb[0][1] + f1 * crt.mb[1][1] + f2 * crt.mb[2][1] + crt.offset[j][1];
    u64 q1 = static_cast<u64>(static_cast<std::int64_t>(e1));
    const u64 x1 = t1 - q1 * limbbase;
    const u64 k1 = static_cast<u64>(x1 >= limbbase);
    b = x1 - k1 * limbbase;
    q1 += k1;
    a = q1 - crt.top[j];
}

/// The limbs of a product from its coefficients' three limbs, in order: limb k is the r of
/// coefficient k, the b of k - 1 and the a of k - 2, with the carry.
class carries
{
public:
    carries() = default;
    /// Resumed at limb k: the carry into it, the b of coefficient k - 1 and the a of k - 1 and
    /// k - 2.
    carries(u64 carryin, u64 b1, u64 a1k, u64 a2k) : carry(carryin), below(b1), a1(a1k), a2(a2k) {}
    u64 next(u64 r, u64 b, u64 a)
    {
        const u64 limb = add(carry + r + below + a2);
        below = b;
        a2 = a1;
        a1 = a;
        return limb;
    }
    /// The limb above the last coefficient.
    u64 last()
    {
        const u64 limb = add(carry + below + a2);
        assert(carry == 0 && a1 == 0);
        return limb;
    }

private:
    u64 add(u64 limb)  // limb below 3B + 2
    {
        carry = static_cast<u64>(limb >= limbbase) + static_cast<u64>(limb >= 2 * limbbase) +
                static_cast<u64>(limb >= 3 * limbbase);  // without branches: they would mispredict
        return limb - carry * limbbase;
    }
    u64 carry = 0, below = 0, a1 = 0, a2 = 0;  // b of k - 1, a of k - 1 and of k - 2
};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
