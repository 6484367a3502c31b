// Integer roots. Square roots by Zimmermann's recursive square root with remainder (Brent and
// Zimmermann, "Modern Computer Arithmetic", algorithm 1.12): the root of the top half of the limbs,
// then one division and one square for the rest; up to four limbs, Newton's iteration in four
// words. Other roots by Newton's iteration from above, started from the root of the number's top
// digits, so that a few steps at full length finish it.
#include "kernel/roots.hpp"

#include "kernel/small.hpp"

#include <cassert>
#include <cmath>

namespace QUORVEL
{
namespace detail
{
namespace
{
bool below(const u256& a, const u256& b)
{
    for (int i = 3; i >= 0; --i)
        if (a.w[i] != b.w[i])
            return a.w[i] < b.w[i];
    return false;
}

// a - b, for a >= b.
u256 less(const u256& a, const u256& b)
{
    u256 r{};
    u64 borrow = 0;
    for (int i = 0; i < 4; ++i)
    {
        const u64 d = a.w[i] - b.w[i];
        const u64 out = (a.w[i] < b.w[i] ? 1U : 0U) + (d < borrow ? 1U : 0U);
        r.w[i] = d - borrow;
        borrow = out;
    }
    return r;
}

// The nearest two-word integer to a double below 2^128 (rounded down).
u128 fromdouble(double v)
{
    const double word = 18446744073709551616.0;  // 2^64
    const u64 high = static_cast<u64>(v / word);
    const double rest = v - static_cast<double>(high) * word;
    return (static_cast<u128>(high) << 64) | static_cast<u64>(rest > 0 ? rest : 0);
}

// Square root and remainder of a natural of at most four limbs (below 10^72), in four words: the
// root has at most 36 digits. Newton's iteration from the double root doubles its 50 good bits
// twice; the last unit is found by squaring.
void smallsqrtrem(const natural& m, natural& s, natural& r)
{
    assert(m.size() <= 4);
    const auto limb = [&m](std::size_t i) { return i < m.size() ? m[i] : u64{0}; };
    const u128 high = static_cast<u128>(limb(3)) * limbbase + limb(2);
    const u128 low = static_cast<u128>(limb(1)) * limbbase + limb(0);
    u256 v = multiply(high, power10(2 * limbdigits));
    const u128 sum = ((static_cast<u128>(v.w[1]) << 64) | v.w[0]) + low;
    const u64 carry = sum < low ? 1 : 0;
    v.w[0] = static_cast<u64>(sum);
    v.w[1] = static_cast<u64>(sum >> 64);
    v.w[2] += carry;
    v.w[3] += v.w[2] < carry ? 1 : 0;
    const double approx =
        ((static_cast<double>(limb(3)) * 1e18 + static_cast<double>(limb(2))) * 1e18 +
         static_cast<double>(limb(1))) *
            1e18 +
        static_cast<double>(limb(0));
    u128 root = fromdouble(std::sqrt(approx));
    for (int step = 0; step < 2 && root != 0; ++step)
    {
        u128 q = 0, rest = 0;
        [[maybe_unused]] const bool fits = divide(v, root, q, rest);
        assert(fits);
        root = (root + q) / 2;
    }
    while (below(v, multiply(root, root))) --root;
    while (!below(v, multiply(root + 1, root + 1))) ++root;
    const u256 remainder = less(v, multiply(root, root));
    s = fromsmall(root);
    r = fromsmall((static_cast<u128>(remainder.w[1]) << 64) | remainder.w[0]);
}

// m's limbs [from, to) as a natural.
natural slice(const natural& m, std::size_t from, std::size_t to)
{
    natural x(m.begin() + static_cast<std::ptrdiff_t>(from),
              m.begin() + static_cast<std::ptrdiff_t>(to));
    trim(x);
    return x;
}

// hi * B^l + lo, for lo below B^l.
natural join(const natural& hi, natural lo, std::size_t l)
{
    if (hi.empty())
        return lo;
    lo.resize(l, 0);
    lo.insert(lo.end(), hi.begin(), hi.end());
    return lo;
}

// s = floor(sqrt(m)) and r = m - s^2. With m = a3 B^3l + a2 B^2l + a1 B^l + a0 (a3 of at least
// l + 1 limbs, so a3 >= B^l and the root of its top half is at least B^l, as the algorithm asks):
// s', r' from a3 B^l + a2, then q, u = divmod(r' B^l + a1, 2 s'), s = s' B^l + q and
// r = u B^l + a0 - q^2, too small by at most one unit of s where negative.
void sqrtrem(const natural& m, natural& s, natural& r)
{
    const std::size_t n = m.size();
    if (n <= 4)
    {
        smallsqrtrem(m, s, r);
        return;
    }
    const std::size_t l = (n - 1) / 4;
    natural top, topremainder;
    sqrtrem(slice(m, 2 * l, n), top, topremainder);
    natural q, u;
    divmod(join(topremainder, slice(m, l, 2 * l), l), multiply(top, 2), &q, &u);
    s = add(join(top, {}, l), q);
    natural t = join(u, slice(m, 0, l), l);
    const natural square = multiply(q, q);
    while (compare(t, square) < 0)
    {
        // s, r = s - 1, r + 2s - 1
        t = add(t, subtract(multiply(s, 2), {1}));
        s = subtract(s, {1});
    }
    r = subtract(t, square);
}

// The smallest power of two above x is 2^bits: for k > bits, the k-th root of x >= 1 is 1.
std::uint64_t bitsabove(const natural& x)
{
    return static_cast<std::uint64_t>(std::ceil(log10of(x) * 3.3219280948873626)) + 1;
}
}  // namespace

natural squareroot(const natural& x)
{
    natural s, r;
    sqrtrem(x, s, r);
    return s;
}

natural root(const natural& x, std::uint64_t k)
{
    assert(k >= 1);
    if (x.empty() || k == 1)
        return x;
    if (k == 2)
        return squareroot(x);
    if (k > bitsabove(x))
        return {1};
    // A start at or above the root: from a double where the root has at most 15 digits, else
    // from the root of x without its last t k digits, t about half the root's digits, which is
    // (the root over 10^t) rounded down: one more, times 10^t, is above the root.
    const double digits = log10of(x) / static_cast<double>(k);
    natural y;
    if (digits < 15)
        y = fromsmall(static_cast<u64>(std::pow(10.0, digits) * (1 + 1e-9)) + 2);
    else
    {
        const auto t = static_cast<std::size_t>(digits / 2);
        y = shiftup(add(root(shiftdown(x, static_cast<std::size_t>(t * k)), k), {1}), t);
    }
    // Newton's step y' = ((k - 1) y + x / y^(k - 1)) / k stays at or above the root and goes down
    // until it reaches it.
    const natural kk = fromsmall(k), k1 = fromsmall(k - 1);
    for (;;)
    {
        natural q, next;
        divmod(x, power(y, k - 1), &q, nullptr);
        divmod(add(multiply(y, k1), q), kk, &next, nullptr);
        if (compare(next, y) >= 0)
            return y;
        y.swap(next);
    }
}
}  // namespace detail
}  // namespace QUORVEL
