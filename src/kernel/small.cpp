// Two- and four-word arithmetic for small operands: powers of ten, 128 by 128 bit products, and
// 256 by 128 bit division (Knuth's algorithm D on 64-bit words, with a divisor of two words).
#include "kernel/small.hpp"

#include <cassert>

namespace QUORVEL
{
namespace detail
{
namespace
{
constexpr u128 join(u64 high, u64 low)
{
    return (static_cast<u128>(high) << 64) | low;
}
constexpr u64 lowword(u128 x)
{
    return static_cast<u64>(x);
}
constexpr u64 highword(u128 x)
{
    return static_cast<u64>(x >> 64);
}

// The zero bits above the top set bit of x > 0.
int leadingzeros(u64 x)
{
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_clzll(x);
#else
    int n = 0;
    for (u64 bit = u64{1} << 63; (x & bit) == 0; bit >>= 1) ++n;
    return n;
#endif
}

struct powers
{
    u128 p[twowords + 1];
};

constexpr powers makepowers()
{
    powers t{};
    u128 p = 1;
    for (std::size_t k = 0; k <= twowords; ++k, p *= 10) t.p[k] = p;
    return t;
}

constexpr powers tens = makepowers();
}  // namespace

u128 power10(std::size_t k)
{
    assert(k <= twowords);
    return tens.p[k];
}

u256 multiply(u128 a, u128 b)
{
    const u64 a0 = lowword(a), a1 = highword(a), b0 = lowword(b), b1 = highword(b);
    const u128 p00 = static_cast<u128>(a0) * b0, p01 = static_cast<u128>(a0) * b1;
    const u128 p10 = static_cast<u128>(a1) * b0, p11 = static_cast<u128>(a1) * b1;
    const u128 middle = static_cast<u128>(highword(p00)) + lowword(p01) + lowword(p10);
    const u128 top = static_cast<u128>(highword(middle)) + highword(p01) + highword(p10) + p11;
    return {{lowword(p00), lowword(middle), lowword(top), highword(top)}};
}

bool divide(const u256& n, u128 d, u128& q, u128& r)
{
    assert(d != 0);
    const u64 dh = highword(d), dl = lowword(d);
    if (dh == 0)
    {
        // By a word: the quotient fits two words where the top half is below the divisor.
        if (n.w[3] != 0 || n.w[2] >= dl)
            return false;
        u64 rest = 0;
        const u64 q1 = divide2by1(n.w[2], n.w[1], dl, rest);
        const u64 q0 = divide2by1(rest, n.w[0], dl, rest);
        q = join(q1, q0);
        r = rest;
        return true;
    }
    if (join(n.w[3], n.w[2]) >= d)
        return false;
    // Normalised: the divisor's top bit set, the dividend shifted alike (its top word then zero,
    // as the quotient fits two words).
    const int s = leadingzeros(dh);
    const u64 d1 = s == 0 ? dh : (dh << s) | (dl >> (64 - s)), d0 = dl << s;
    u64 x[4];
    for (int i = 3; i >= 0; --i)
        x[i] = s == 0 ? n.w[i] : (n.w[i] << s) | (i > 0 ? n.w[i - 1] >> (64 - s) : 0);
    u64 quotient[2] = {};
    for (int j = 1; j >= 0; --j)
    {
        // The window x[j + 2], x[j + 1], x[j], its top two words below the divisor: an estimate
        // from the top words, at most two too large after the check against d0, then exact.
        const u64 top = j == 1 ? x[3] : x[2];
        u64 qhat = 0, rhat = 0;
        bool rbig = false;
        if (top >= d1)
        {
            qhat = ~u64{0};
            rhat = x[j + 1] + d1;
            rbig = rhat < d1;
        }
        else
            qhat = divide2by1(top, x[j + 1], d1, rhat);
        while (!rbig && static_cast<u128>(qhat) * d0 > join(rhat, x[j]))
        {
            --qhat;
            rhat += d1;
            rbig = rhat < d1;
        }
        // With a divisor of two words the check against d0 has made the estimate exact:
        // qhat d0 <= rhat 2^64 + x[j] gives qhat (d1 2^64 + d0) <= the window, so the window less
        // qhat times the divisor never goes below zero (no adding back, as for longer divisors).
        const u128 p0 = static_cast<u128>(qhat) * d0;
        const u128 p1 = static_cast<u128>(qhat) * d1 + highword(p0);
        const u64 b0 = x[j] < lowword(p0) ? 1 : 0;
        [[maybe_unused]] const u64 b1 =
            x[j + 1] < lowword(p1) || x[j + 1] - lowword(p1) < b0 ? 1 : 0;
        assert(top == highword(p1) + b1 && "the estimate is exact");
        x[j] = x[j] - lowword(p0);
        x[j + 1] = x[j + 1] - lowword(p1) - b0;
        quotient[j] = qhat;
    }
    q = join(quotient[1], quotient[0]);
    r = join(x[1], x[0]) >> s;
    return true;
}
}  // namespace detail
}  // namespace QUORVEL
