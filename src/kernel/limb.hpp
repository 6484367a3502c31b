// Internal: limbs of 18 decimal digits (base 10^18, which leaves four spare bits in a 64-bit
// word) and the two-word arithmetic the kernels build on. Not installed.
#pragma once

#include "kernel/wide.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace QUORVEL
{
namespace detail
{
using u64 = std::uint64_t;
#if defined(__SIZEOF_INT128__) && !defined(QUORVEL_PORTABLE_128)
__extension__ typedef unsigned __int128 u128;  // __extension__: silences -Wpedantic
#else
using u128 = wide::u128;  // two words, where the compiler has no 128-bit integer
#endif

/// Decimal digits per limb, and the base.
constexpr std::size_t limbdigits = 18;
constexpr u64 limbbase = 1000000000000000000ULL;  // 10^18

/// Limbs that hold `digits` decimal digits.
constexpr std::size_t limbsfor(std::size_t digits)
{
    return digits / limbdigits + (digits % limbdigits != 0 ? 1 : 0);
}

// Preconditions of the limb routines, checked in Debug builds.
inline bool belowbase(const u64* x, std::size_t n)
{
    return std::all_of(x, x + n, [](u64 l) { return l < limbbase; });
}
inline bool disjoint(const void* a, std::size_t abytes, const void* b, std::size_t bbytes)
{
    const auto* pa = static_cast<const char*>(a);
    const auto* pb = static_cast<const char*>(b);
    const std::less<const char*> before;  // a total order, also across objects
    return !before(pb, pa + abytes) || !before(pa, pb + bbytes);
}

// Division of a two-word number by 10^18 through a precomputed reciprocal (Moeller and Granlund,
// "Improved division by invariant integers", 2011): two multiplications instead of a divide.
// The divisor is normalised by a shift of four bits, so the dividend is shifted likewise.
constexpr int normshift = 4;
constexpr u64 normdivisor = limbbase << normshift;
constexpr u64 reciprocal =
    static_cast<u64>(((static_cast<u128>(~normdivisor) << 64) | ~u64{0}) / normdivisor);

/// Quotient of (u1 * 2^64 + u0) / d for a divisor d with its top bit set, u1 < d, and
/// inverse = (2^128 - 1) / d - 2^64; the remainder goes to r.
inline u64 divnorm(u64 u1, u64 u0, u64 d, u64 inverse, u64& r)
{
    u128 q = static_cast<u128>(inverse) * u1;
    q += (static_cast<u128>(u1 + 1) << 64) | u0;
    u64 q1 = static_cast<u64>(q >> 64);
    r = u0 - q1 * d;
    if (r > static_cast<u64>(q))
    {
        --q1;
        r += d;
    }
    if (r >= d)
    {
        ++q1;
        r -= d;
    }
    return q1;
}

/// The same for the divisor 10^18, normalised.
inline u64 divnorm(u64 u1, u64 u0, u64& r)
{
    return divnorm(u1, u0, normdivisor, reciprocal, r);
}

/// (hi * 2^64 + lo) / d for hi < d (the quotient fits a word); the remainder goes to r. One
/// hardware instruction where there is one.
inline u64 divide2by1(u64 hi, u64 lo, u64 d, u64& r)
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    u64 q = 0;
    __asm__("divq %[d]" : "=a"(q), "=d"(r) : [d] "r"(d), "a"(lo), "d"(hi));
    return q;
#else
    const u128 n = (static_cast<u128>(hi) << 64) | lo;
    r = static_cast<u64>(n % d);
    return static_cast<u64>(n / d);
#endif
}

/// v / 10^18 and v % 10^18, for v < 2^128 (the remainder goes to rem).
inline u128 divbase(u128 v, u64& rem)
{
    const u64 hi = static_cast<u64>(v >> 64), lo = static_cast<u64>(v);
    const u64 n2 = hi >> (64 - normshift);
    const u64 n1 = (hi << normshift) | (lo >> (64 - normshift));
    const u64 n0 = lo << normshift;
    u64 r = 0;
    const u64 q1 = divnorm(n2, n1, r);
    const u64 q0 = divnorm(r, n0, r);
    rem = r >> normshift;
    return (static_cast<u128>(q1) << 64) | q0;
}

/// v / 10^18 and v % 10^18 for v < 2^64 * 10^18 (a quotient that fits one word).
inline u64 divbasesmall(u128 v, u64& rem)
{
    const u64 hi = static_cast<u64>(v >> 64), lo = static_cast<u64>(v);
    u64 r = 0;
    const u64 q = divnorm((hi << normshift) | (lo >> (64 - normshift)), lo << normshift, r);
    rem = r >> normshift;
    return q;
}

/// r[0, n] = a[0, n) + b[0, n); r[n] is the carry limb.
inline void addlimbs(u64* r, const u64* a, const u64* b, std::size_t n)
{
    u64 carry = 0;
    for (std::size_t i = 0; i < n; ++i)
    {
        const u64 s = a[i] + b[i] + carry;  // below 2^61: no overflow
        carry = s >= limbbase;
        r[i] = carry ? s - limbbase : s;
    }
    r[n] = carry;
}

/// r[0, nr) -= s[0, ns); returns the borrow out of r (1 when s was the larger).
inline u64 sublimbs(u64* r, std::size_t nr, const u64* s, std::size_t ns)
{
    u64 borrow = 0;
    for (std::size_t i = 0; i < nr && (i < ns || borrow); ++i)
    {
        const u64 t = (i < ns ? s[i] : 0) + borrow;
        borrow = r[i] < t;
        r[i] = borrow ? r[i] + limbbase - t : r[i] - t;
    }
    return borrow;
}

/// r[0, nr) += s[0, ns); returns the carry out of r.
inline u64 addinto(u64* r, std::size_t nr, const u64* s, std::size_t ns)
{
    u64 carry = 0;
    for (std::size_t i = 0; i < nr && (i < ns || carry); ++i)
    {
        const u64 t = r[i] + (i < ns ? s[i] : 0) + carry;
        carry = t >= limbbase;
        r[i] = carry ? t - limbbase : t;
    }
    return carry;
}

/// The number of limbs of x[0, n) up to its most significant non-zero one.
inline std::size_t limblength(const u64* x, std::size_t n)
{
    while (n > 0 && x[n - 1] == 0) --n;
    return n;
}

/// Compares a[0, n) and b[0, n): -1, 0 or 1.
inline int comparelimbs(const u64* a, const u64* b, std::size_t n)
{
    for (std::size_t i = n; i-- > 0;)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return 0;
}
}  // namespace detail
}  // namespace QUORVEL
