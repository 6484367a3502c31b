// Internal: an unsigned 128-bit integer of two 64-bit words, for compilers without one (MSVC,
// 32-bit targets) and for builds that ask for it (QUORVEL_PORTABLE_128, which CI tests on x86-64).
// It has just the operations the kernels use, with the semantics of unsigned __int128. Not
// installed.
#pragma once

#include <cstdint>
#include <type_traits>

#if defined(_MSC_VER) && defined(_M_X64)
#include <intrin.h>
#endif

namespace QUORVEL
{
namespace detail
{
namespace wide
{
using u64 = std::uint64_t;

/// The full 128-bit product of two words: the low word returned, the high one in `high`.
constexpr u64 multiply(u64 a, u64 b, u64& high)
{
#if defined(_MSC_VER) && _MSC_VER >= 1925 && defined(_M_X64) && !defined(__clang__)
    if (!__builtin_is_constant_evaluated())
        return _umul128(a, b, &high);
#endif
    // Four products of 32-bit halves: always compiled, and the path of 32-bit targets.
    const u64 al = a & 0xFFFFFFFFu, ah = a >> 32, bl = b & 0xFFFFFFFFu, bh = b >> 32;
    const u64 ll = al * bl, lh = al * bh, hl = ah * bl, hh = ah * bh;
    const u64 middle = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    high = hh + (lh >> 32) + (hl >> 32) + (middle >> 32);
    return (middle << 32) | (ll & 0xFFFFFFFFu);
}

class u128
{
public:
    constexpr u128() = default;
    constexpr u128(unsigned long long v) : lo(v) {}  // NOLINT(google-explicit-constructor)
    constexpr u128(u64 high, u64 low, int /*tag*/) : lo(low), hi(high) {}

    /// The low bits, as a conversion of unsigned __int128 to a narrower integer gives them.
    template <typename T, std::enable_if_t<
                              std::is_integral<T>::value && !std::is_same<T, bool>::value, int> = 0>
    constexpr explicit operator T() const
    {
        return static_cast<T>(lo);
    }
    constexpr explicit operator bool() const { return (lo | hi) != 0; }
    constexpr u64 low() const { return lo; }
    constexpr u64 high() const { return hi; }

    friend constexpr u128 operator+(u128 a, u128 b)
    {
        const u64 low = a.lo + b.lo;
        return {a.hi + b.hi + (low < a.lo ? 1 : 0), low, 0};
    }
    friend constexpr u128 operator-(u128 a, u128 b)
    {
        return {a.hi - b.hi - (a.lo < b.lo ? 1 : 0), a.lo - b.lo, 0};
    }
    friend constexpr u128 operator*(u128 a, u128 b)  // modulo 2^128
    {
        u64 high = 0;
        const u64 low = multiply(a.lo, b.lo, high);
        return {high + a.lo * b.hi + a.hi * b.lo, low, 0};
    }
    friend constexpr u128 operator<<(u128 a, int s)
    {
        if (s == 0)
            return a;
        if (s >= 64)
            return {a.lo << (s - 64), 0, 0};
        return {(a.hi << s) | (a.lo >> (64 - s)), a.lo << s, 0};
    }
    friend constexpr u128 operator>>(u128 a, int s)
    {
        if (s == 0)
            return a;
        if (s >= 64)
            return {0, a.hi >> (s - 64), 0};
        return {a.hi >> s, (a.lo >> s) | (a.hi << (64 - s)), 0};
    }
    friend constexpr u128 operator|(u128 a, u128 b) { return {a.hi | b.hi, a.lo | b.lo, 0}; }
    friend constexpr u128 operator&(u128 a, u128 b) { return {a.hi & b.hi, a.lo & b.lo, 0}; }
    friend constexpr u128 operator~(u128 a) { return {~a.hi, ~a.lo, 0}; }
    friend constexpr bool operator==(u128 a, u128 b) { return a.hi == b.hi && a.lo == b.lo; }
    friend constexpr bool operator!=(u128 a, u128 b) { return !(a == b); }
    friend constexpr bool operator<(u128 a, u128 b)
    {
        return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo;
    }
    friend constexpr bool operator>(u128 a, u128 b) { return b < a; }
    friend constexpr bool operator<=(u128 a, u128 b) { return !(b < a); }
    friend constexpr bool operator>=(u128 a, u128 b) { return !(a < b); }
    friend constexpr u128 operator/(u128 a, u128 b) { return divide(a, b, nullptr); }
    friend constexpr u128 operator%(u128 a, u128 b)
    {
        u128 r;
        divide(a, b, &r);
        return r;
    }

    constexpr u128& operator+=(u128 b) { return *this = *this + b; }
    constexpr u128& operator-=(u128 b) { return *this = *this - b; }
    constexpr u128& operator*=(u128 b) { return *this = *this * b; }
    constexpr u128& operator<<=(int s) { return *this = *this << s; }
    constexpr u128& operator>>=(int s) { return *this = *this >> s; }
    constexpr u128& operator++() { return *this = *this + 1; }
    constexpr u128& operator--() { return *this = *this - 1; }

private:
    // (hi * 2^64 + lo) / d for hi < d, by two steps of 32-bit digits (Knuth's algorithm D with
    // the divisor normalised; Warren's "Hacker's Delight", divlu).
    static constexpr u64 divide2by1(u64 hi, u64 lo, u64 d, u64& r)
    {
        int s = 0;
        while ((d << s >> 63) == 0) ++s;
        d <<= s;
        const u64 n32 = s == 0 ? hi : (hi << s) | (lo >> (64 - s));
        const u64 n10 = lo << s;
        const u64 dh = d >> 32, dl = d & 0xFFFFFFFFu;
        const u64 n1 = n10 >> 32, n0 = n10 & 0xFFFFFFFFu;
        u64 q1 = n32 / dh, rhat = n32 - q1 * dh;
        while (q1 >> 32 != 0 || q1 * dl > ((rhat << 32) | n1))
        {
            --q1;
            rhat += dh;
            if (rhat >> 32 != 0)
                break;
        }
        const u64 n21 = (n32 << 32) + n1 - q1 * d;
        u64 q0 = n21 / dh;
        rhat = n21 - q0 * dh;
        while (q0 >> 32 != 0 || q0 * dl > ((rhat << 32) | n0))
        {
            --q0;
            rhat += dh;
            if (rhat >> 32 != 0)
                break;
        }
        r = ((n21 << 32) + n0 - q0 * d) >> s;
        return (q1 << 32) | q0;
    }
    // a / b, and the remainder into r where asked; b is not zero.
    static constexpr u128 divide(u128 a, u128 b, u128* r)
    {
        if (b.hi == 0)
        {
            // By a word: the high word first, then the rest with its remainder.
            const u64 qh = a.hi / b.lo;
            u64 rem = 0;
            const u64 ql = divide2by1(a.hi % b.lo, a.lo, b.lo, rem);
            if (r != nullptr)
                *r = rem;
            return {qh, ql, 0};
        }
        // A two-word divisor: a quotient below 2^64, found bit by bit (not on any fast path).
        u128 q, rem;
        for (int bit = 127; bit >= 0; --bit)
        {
            rem = (rem << 1) | ((a >> bit) & 1);
            if (rem >= b)
            {
                rem -= b;
                q = q | (u128(1) << bit);
            }
        }
        if (r != nullptr)
            *r = rem;
        return q;
    }

    u64 lo = 0;
    u64 hi = 0;
};
}  // namespace wide
}  // namespace detail
}  // namespace QUORVEL
