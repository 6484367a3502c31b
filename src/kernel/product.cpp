// Products of limb strings. Where only the low limbs survive (the cut back to a width), only they
// are formed: a short product, schoolbook by columns for small sizes, and above a threshold split
// as low(a*b) = a0*b0 + (low(a1*b0) + low(a0*b1)) * B^k, where the full product a0*b0 is formed by
// Karatsuba, and above the transform's threshold by the transform.
#include "kernel/product.hpp"

#include "kernel/transform/transform.hpp"
#include "kernel/tuning.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace QUORVEL
{
namespace detail
{
namespace
{
using tuning::karatsubafrom;
using tuning::shortfrom;
static_assert(karatsubafrom <= maxcolumn + 1 && shortfrom <= maxcolumn + 1,
              "the schoolbook's columns must fit in 128 bits");

// Whether a full product of operands of n limbs (the shorter) takes the transform.
bool fulltransform(std::size_t n, const transform::backend& via)
{
    return n >= tuning::fulltransformfrom(via.from);
}

// Whether fullmul forms the product of na and nb limbs by one transform.
bool bytransform(std::size_t na, std::size_t nb, const transform::backend& via)
{
    const std::size_t lo = std::min(na, nb);
    return lo >= karatsubafrom && fulltransform(lo, via);
}

// Scratch limbs that fullproduct(n) needs below it (the transform has memory of its own).
std::size_t fullscratch(std::size_t n, const transform::backend& via)
{
    return n < karatsubafrom || fulltransform(n, via)
               ? 0
               : 4 * ((n + 1) / 2 + 1) + fullscratch((n + 1) / 2 + 1, via);
}

// r[0, 2n) = a[0, n) * b[0, n): by columns, by Karatsuba above its threshold, by the transform
// above its own.
void fullproduct(u64* r, const u64* a, const u64* b, std::size_t n, u64* scratch,
                 const transform::backend& via)
{
    if (n < karatsubafrom)
    {
        columnproduct(r, a, n, b, n, 2 * n);
        return;
    }
    if (fulltransform(n, via))
    {
        transformproduct(r, a, n, b, n, 2 * n, via);
        return;
    }
    const std::size_t k = (n + 1) / 2, h = n - k;
    u64* sa = scratch;
    u64* sb = sa + (k + 1);
    u64* mid = sb + (k + 1);
    u64* below = mid + 2 * (k + 1);
    fullproduct(r, a, b, k, below, via);                  // a0 * b0 in r[0, 2k)
    fullproduct(r + 2 * k, a + k, b + k, h, below, via);  // a1 * b1 in r[2k, 2n)
    // a0 + a1 and b0 + b1, with a1, b1 padded to k limbs.
    std::memcpy(mid, a + k, h * sizeof(u64));
    std::memset(mid + h, 0, (k - h) * sizeof(u64));
    addlimbs(sa, a, mid, k);
    std::memcpy(mid, b + k, h * sizeof(u64));
    std::memset(mid + h, 0, (k - h) * sizeof(u64));
    addlimbs(sb, b, mid, k);
    fullproduct(mid, sa, sb, k + 1, below, via);  // (a0 + a1)(b0 + b1), 2k + 2 limbs
    sublimbs(mid, 2 * k + 2, r, 2 * k);
    sublimbs(mid, 2 * k + 2, r + 2 * k, 2 * h);
    addinto(r + k, 2 * n - k, mid, 2 * k + 2);
}

std::size_t shortsplit(std::size_t m)
{
    return (7 * m + 9) / 10;  // a0 * b0 covers about 70% of the low limbs
}

std::size_t shortscratch(std::size_t m, const transform::backend& via)
{
    if (m < shortfrom)
        return 0;
    if (m >= via.from)
        return 2 * m;  // the full product; at these lengths a low half costs as much
    const std::size_t k = shortsplit(m), l = m - k;
    return 2 * k + l + std::max(fullscratch(k, via), shortscratch(l, via));
}

// r[0, m) = the low m limbs of a[0, m) * b[0, m).
void shortproduct(u64* r, const u64* a, const u64* b, std::size_t m, u64* scratch,
                  const transform::backend& via)
{
    if (m < shortfrom)
    {
        columnproduct(r, a, m, b, m, m);
        return;
    }
    if (m >= via.from)
    {
        transformproduct(scratch, a, m, b, m, m, via);
        std::memcpy(r, scratch, m * sizeof(u64));
        return;
    }
    const std::size_t k = shortsplit(m), l = m - k;
    u64* full = scratch;
    u64* part = full + 2 * k;
    u64* below = part + l;
    fullproduct(full, a, b, k, below, via);
    std::memcpy(r, full, m * sizeof(u64));
    shortproduct(part, a + k, b, l, below, via);  // low l limbs of a1 * b0
    addinto(r + k, l, part, l);
    shortproduct(part, a, b + k, l, below, via);  // low l limbs of a0 * b1
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

std::size_t fullmulscratch(std::size_t na, std::size_t nb, const transform::backend& via)
{
    const std::size_t lo = std::min(na, nb), hi = std::max(na, nb);
    if (lo < karatsubafrom || fulltransform(lo, via))
        return 0;
    if (lo == hi)
        return fullscratch(lo, via);
    return 2 * lo + std::max(fullscratch(lo, via), fullmulscratch(lo, hi % lo, via));
}

void fullmul(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb, u64* scratch,
             const transform::backend& via)
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
    if (bytransform(na, nb, via))
    {
        transformproduct(r, a, na, b, nb, na + nb, via);
        return;
    }
    if (na == nb)
    {
        fullproduct(r, a, b, na, scratch, via);
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
            fullproduct(piece, a + at, b, nb, below, via);
        else
            fullmul(piece, b, nb, a + at, len, below, via);
        addinto(r + at, na + nb - at, piece, len + nb);
    }
}

std::size_t shortmulscratch(std::size_t m, const transform::backend& via)
{
    return shortscratch(m, via);
}

void fullmullow(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb, std::size_t m,
                u64* scratch, const transform::backend& via)
{
    if (m < na + nb && bytransform(na, nb, via))
        transformproduct(r, a, na, b, nb, m, via);
    else
        fullmul(r, a, na, b, nb, scratch, via);
}

void shortmul(u64* r, const u64* a, const u64* b, std::size_t m, u64* scratch,
              const transform::backend& via)
{
    assert(belowbase(a, m) && belowbase(b, m));
    assert(disjoint(r, m * 8, a, m * 8) && disjoint(r, m * 8, b, m * 8));
    shortproduct(r, a, b, m, scratch, via);
}
}  // namespace detail
}  // namespace QUORVEL
