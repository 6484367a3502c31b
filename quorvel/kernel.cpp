// Products. Digits are packed into limbs of base 10^18, multiplied, and unpacked. Only the low
// limbs that survive the cut back to the width are formed: a short product, schoolbook by columns
// for small sizes, and above a threshold split as low(a*b) = a0*b0 + (low(a1*b0) + low(a0*b1))
// * B^k, where the full product a0*b0 is formed by Karatsuba.
#include "quorvel/kernel.hpp"

#include "quorvel/digits.hpp"
#include "quorvel/limb.hpp"
#include "quorvel/ntt.hpp"
#include "quorvel/scratch.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace QUORVEL
{
namespace detail
{
namespace
{
// A column has at most min(na, nb) terms below 10^36, so with up to 255 terms and the carry it
// fits in 128 bits.
constexpr std::size_t maxcolumn = 255;

// Thresholds in limbs, measured with bench/ (BM_limbkernel): below them the column schoolbook
// wins, its inner loop being a multiply and a 128-bit add per term.
constexpr std::size_t karatsubafrom = 200;
constexpr std::size_t shortfrom = 128;
static_assert(karatsubafrom <= maxcolumn + 1 && shortfrom <= maxcolumn + 1,
              "the schoolbook's columns must fit in 128 bits");

// Scratch limbs that fullproduct(n) needs below it (the transform has memory of its own).
std::size_t fullscratch(std::size_t n)
{
    return n < karatsubafrom || n >= transformfrom()
               ? 0
               : 4 * ((n + 1) / 2 + 1) + fullscratch((n + 1) / 2 + 1);
}

// r[0, 2n) = a[0, n) * b[0, n): by columns, by Karatsuba above its threshold, by the transform
// above its own.
void fullproduct(u64* r, const u64* a, const u64* b, std::size_t n, u64* scratch)
{
    if (n < karatsubafrom)
    {
        columnproduct(r, a, n, b, n, 2 * n);
        return;
    }
    if (n >= transformfrom())
    {
        transformproduct(r, a, n, b, n);
        return;
    }
    const std::size_t k = (n + 1) / 2, h = n - k;
    u64* sa = scratch;
    u64* sb = sa + (k + 1);
    u64* mid = sb + (k + 1);
    u64* below = mid + 2 * (k + 1);
    fullproduct(r, a, b, k, below);                  // a0 * b0 in r[0, 2k)
    fullproduct(r + 2 * k, a + k, b + k, h, below);  // a1 * b1 in r[2k, 2n)
    // a0 + a1 and b0 + b1, with a1, b1 padded to k limbs.
    std::memcpy(mid, a + k, h * sizeof(u64));
    std::memset(mid + h, 0, (k - h) * sizeof(u64));
    addlimbs(sa, a, mid, k);
    std::memcpy(mid, b + k, h * sizeof(u64));
    std::memset(mid + h, 0, (k - h) * sizeof(u64));
    addlimbs(sb, b, mid, k);
    fullproduct(mid, sa, sb, k + 1, below);  // (a0 + a1)(b0 + b1), 2k + 2 limbs
    sublimbs(mid, 2 * k + 2, r, 2 * k);
    sublimbs(mid, 2 * k + 2, r + 2 * k, 2 * h);
    addinto(r + k, 2 * n - k, mid, 2 * k + 2);
}

std::size_t shortsplit(std::size_t m)
{
    return (7 * m + 9) / 10;  // a0 * b0 covers about 70% of the low limbs
}

std::size_t shortscratch(std::size_t m)
{
    if (m < shortfrom)
        return 0;
    if (m >= transformfrom())
        return 2 * m;  // the full product; at these lengths a low half costs as much
    const std::size_t k = shortsplit(m), l = m - k;
    return 2 * k + l + std::max(fullscratch(k), shortscratch(l));
}

// r[0, m) = the low m limbs of a[0, m) * b[0, m).
void shortproduct(u64* r, const u64* a, const u64* b, std::size_t m, u64* scratch)
{
    if (m < shortfrom)
    {
        columnproduct(r, a, m, b, m, m);
        return;
    }
    if (m >= transformfrom())
    {
        transformproduct(scratch, a, m, b, m);
        std::memcpy(r, scratch, m * sizeof(u64));
        return;
    }
    const std::size_t k = shortsplit(m), l = m - k;
    u64* full = scratch;
    u64* part = full + 2 * k;
    u64* below = part + l;
    fullproduct(full, a, b, k, below);
    std::memcpy(r, full, m * sizeof(u64));
    shortproduct(part, a + k, b, l, below);  // low l limbs of a1 * b0
    addinto(r + k, l, part, l);
    shortproduct(part, a, b + k, l, below);  // low l limbs of a0 * b1
    addinto(r + k, l, part, l);
}
}  // namespace

namespace
{
// The carry of a column: its sum divided by 10^18. A column of at most 18 terms (and the carry
// of the one below) stays below 2^64 * 10^18, so its carry fits one word and one reciprocal
// division splits it; longer columns need two.
constexpr std::size_t smallcolumn = 18;

template <bool small>
u128 splitcolumn(u128 sum, u64& limb)
{
    if constexpr (small)
        return divbasesmall(sum, limb);
    else
        return divbase(sum, limb);
}

template <bool small>
void columns(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb, std::size_t m)
{
    u128 carry = 0;
    for (std::size_t k = 0; k < m; ++k)
    {
        u128 acc = carry;
        const std::size_t ibegin = k >= nb ? k - nb + 1 : 0;
        const std::size_t iend = std::min(k + 1, na);
        // Two accumulators halve the chain of dependent additions.
        u128 odd = 0;
        std::size_t i = ibegin;
        for (; i + 1 < iend; i += 2)
        {
            acc += static_cast<u128>(a[i]) * b[k - i];
            odd += static_cast<u128>(a[i + 1]) * b[k - i - 1];
        }
        if (i < iend)
            acc += static_cast<u128>(a[i]) * b[k - i];
        carry = splitcolumn<small>(acc + odd, r[k]);
    }
}

// The same for a square: each product of two different limbs is formed once and doubled.
template <bool small>
void squarecolumns(u64* r, const u64* a, std::size_t n, std::size_t m)
{
    u128 carry = 0;
    for (std::size_t k = 0; k < m; ++k)
    {
        const std::size_t ibegin = k >= n ? k - n + 1 : 0;
        u128 twice = 0;
        for (std::size_t i = ibegin; i < k - i; ++i) twice += static_cast<u128>(a[i]) * a[k - i];
        u128 acc = carry + 2 * twice;
        if (k % 2 == 0 && k / 2 < n)
            acc += static_cast<u128>(a[k / 2]) * a[k / 2];
        carry = splitcolumn<small>(acc, r[k]);
    }
}
}  // namespace

void columnproduct(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb,
                   std::size_t m)
{
    assert(std::min(na, nb) <= maxcolumn && "a column must fit in 128 bits");
    assert(belowbase(a, na) && belowbase(b, nb));
    assert(disjoint(r, m * 8, a, na * 8) && disjoint(r, m * 8, b, nb * 8));
    const bool small = std::min(na, nb) <= smallcolumn;
    if (a == b && na == nb)
        small ? squarecolumns<true>(r, a, na, m) : squarecolumns<false>(r, a, na, m);
    else
        small ? columns<true>(r, a, na, b, nb, m) : columns<false>(r, a, na, b, nb, m);
}

std::size_t fullmulscratch(std::size_t na, std::size_t nb)
{
    const std::size_t lo = std::min(na, nb), hi = std::max(na, nb);
    if (lo < karatsubafrom || lo >= transformfrom())
        return 0;
    if (lo == hi)
        return fullscratch(lo);
    return 2 * lo + std::max(fullscratch(lo), fullmulscratch(lo, hi % lo));
}

void fullmul(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb, u64* scratch)
{
    if (na < nb)
    {
        std::swap(a, b);
        std::swap(na, nb);
    }
    if (nb < karatsubafrom)
    {
        if (nb == 0)
            std::fill(r, r + na, u64{0});
        else
            columnproduct(r, a, na, b, nb, na + nb);
        return;
    }
    if (na == nb)
    {
        fullproduct(r, a, b, na, scratch);
        return;
    }
    if (nb >= transformfrom())
    {
        transformproduct(r, a, na, b, nb);
        return;
    }
    // Unbalanced: a in pieces of nb limbs, each a balanced product added in at its place.
    u64* piece = scratch;
    u64* below = piece + 2 * nb;
    std::fill(r, r + na + nb, u64{0});
    for (std::size_t at = 0; at < na; at += nb)
    {
        const std::size_t len = std::min(nb, na - at);
        if (len == nb)
            fullproduct(piece, a + at, b, nb, below);
        else
            fullmul(piece, b, nb, a + at, len, below);
        addinto(r + at, na + nb - at, piece, len + nb);
    }
}

std::size_t shortmulscratch(std::size_t m)
{
    return shortscratch(m);
}

void shortmul(u64* r, const u64* a, const u64* b, std::size_t m, u64* scratch)
{
    shortproduct(r, a, b, m, scratch);
}

void limbproduct(u64* r, const u64* a, const u64* b, std::size_t m)
{
    assert(belowbase(a, m) && belowbase(b, m));
    assert(disjoint(r, m * 8, a, m * 8) && disjoint(r, m * 8, b, m * 8));
    const scratch space(shortscratch(m));
    shortproduct(r, a, b, m, space.data);  // schoolbook when small
}

void mullow(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* out, std::size_t n)
{
    assert(disjoint(out, n, a, la) && disjoint(out, n, b, lb));
    la = std::min(la, n);
    lb = std::min(lb, n);
    if (la == 0 || lb == 0)
    {
        std::memset(out, 0, n);
        return;
    }
    const std::size_t m = limbsfor(n);  // limbs of the result
    std::size_t na = limbsfor(la), nb = limbsfor(lb);
    const bool karatsuba = std::min(na, nb) >= shortfrom;
    if (karatsuba)
        na = nb = m;  // the split works on operands padded to the result's length
    // Limbs of a, b and the result, then the scratch of the split products.
    const scratch space(na + nb + m + (karatsuba ? shortscratch(m) : 0));
    u64* pa = space.data;
    u64* pb = pa + na;
    u64* pr = pb + nb;
    pack(a, la, pa, na);
    pack(b, lb, pb, nb);
    if (karatsuba)
        shortproduct(pr, pa, pb, m, pr + m);
    else
        columnproduct(pr, pa, na, pb, nb, m);
    unpack(pr, out, n);
}

void powlow(const std::int8_t* base, std::size_t lbase, std::uint64_t exponent, std::int8_t* out,
            std::size_t n)
{
    assert(n > 0 && disjoint(out, n, base, lbase));
    const std::size_t m = limbsfor(n);
    // The base, the power so far and its next value, then the scratch of the products.
    const scratch space(3 * m + shortscratch(m));
    u64* b = space.data;
    u64* r = b + m;
    u64* t = r + m;
    u64* below = t + m;
    pack(base, std::min(lbase, n), b, m);
    if (exponent == 0)
    {
        std::fill(r, r + m, u64{0});
        r[0] = 1;
    }
    else
    {
        // Left to right: square for every bit below the top one, multiply by the base where it
        // is set. Only the low m limbs are ever formed.
        std::memcpy(r, b, m * sizeof(u64));
        int bit = 63;
        while ((exponent >> bit) == 0) --bit;
        while (bit-- > 0)
        {
            shortproduct(t, r, r, m, below);
            std::swap(r, t);
            if ((exponent >> bit) & 1)
            {
                shortproduct(t, r, b, m, below);
                std::swap(r, t);
            }
        }
    }
    unpack(r, out, n);
}
}  // namespace detail
}  // namespace QUORVEL
