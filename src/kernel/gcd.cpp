// Greatest common divisors by Lehmer's algorithm (Knuth, TAOCP vol. 2, 4.5.2, algorithm L) in base
// 10^18: Euclid's steps are run on the top 37 digits of both numbers, as long as the quotients are
// certain to be those of the whole numbers, and their product matrix (entries up to 2^61) is
// applied to the whole numbers in one pass; where no quotient is certain (the numbers differ much
// in length), one division does the step. Numbers of two limbs or fewer finish in two words.
// The extended algorithm follows the same steps and carries the cofactors of one operand.
#include "kernel/gcd.hpp"

#include "kernel/small.hpp"

#include <cassert>
#include <utility>

namespace QUORVEL
{
namespace detail
{
namespace
{
// The matrix [[A, B], [C, D]] of a run of Euclid's steps, as magnitudes: after an even number of
// steps A, D >= 0 and B, C <= 0, after an odd number the reverse.
struct matrix
{
    u64 a, b, c, d;
    bool odd;
};

// Entries stay at most this, so that an entry times a limb, plus the other term, fits two words
// with room for the carry (see `combine`).
constexpr u64 entrylimit = u64{1} << 61;

// floor(n / d) for 0 < d <= n, by subtraction for the small quotients most of Euclid's steps have
// (1 in four steps of ten).
u128 quotient(u128 n, u128 d)
{
    n -= d;
    for (unsigned q = 1; q < 4; ++q)
    {
        if (n < d)
            return q;
        n -= d;
    }
    return n / d + 4;
}

// Knuth's test: x and y are the top digits of the two numbers (cut at the same place), so their
// true ratio lies between (x + A) / (y + C) and (x + B) / (y + D) with the signed entries; a step
// is taken while both give the same quotient. Returns false when not one step was certain.
bool lehmer(u128 x, u128 y, matrix& m)
{
    u64 a = 1, b = 0, c = 0, d = 1;
    bool odd = false;
    for (;;)
    {
        // The signed x + A, y + C, x + B and y + D; never below zero (they are the remainders of
        // Euclid's algorithm on x + 1, y and on x, y + 1).
        const u128 n1 = odd ? x - a : x + a, d1 = odd ? y + c : y - c;
        const u128 n2 = odd ? x + b : x - b, d2 = odd ? y - d : y + d;
        if (d1 == 0 || d2 == 0 || n1 < d1)
            break;
        const u128 q128 = quotient(n1, d1);
        if (q128 > entrylimit)
            break;
        const auto q = static_cast<u64>(q128);
        const u128 qd2 = d2 * q;
        if (n2 < qd2 || n2 - qd2 >= d2)
            break;
        const u128 nc = a + static_cast<u128>(c) * q, nd = b + static_cast<u128>(d) * q;
        if (nc > entrylimit || nd > entrylimit)
            break;
        a = c;
        b = d;
        c = static_cast<u64>(nc);
        d = static_cast<u64>(nd);
        odd = !odd;
        const u128 r = x - y * q;
        x = y;
        y = r;
    }
    m = {a, b, c, d, odd};
    return b != 0;
}

// The top 37 digits of a (three limbs or more) and the digits of b at the same places.
void tops(const natural& a, const natural& b, u128& x, u128& y)
{
    const std::size_t n = a.size();
    std::size_t t = 1;  // the digits of a's top limb
    while (t < limbdigits && a[n - 1] >= static_cast<u64>(power10(t))) ++t;
    const std::size_t s = 19 - t;  // the digits taken from the third limb
    const u128 scale = power10(s);
    const u64 cut = static_cast<u64>(power10(limbdigits - s));
    const auto top = [&](const natural& v)
    {
        const auto limb = [&v](std::size_t i) { return i < v.size() ? v[i] : u64{0}; };
        return (static_cast<u128>(limb(n - 1)) * limbbase + limb(n - 2)) * scale +
               limb(n - 3) / cut;
    };
    x = top(a);
    y = top(b);
}

// Applies the matrix to the numbers: a, b = A a + B b, C a + D b, both known to be at least zero.
// Each limb of a result is u x - v y plus the carry; with an offset of 2^62 bases the sum stays
// positive and its quotient by the base fits a word (the carry, held with 2^62 added).
void combine(natural& a, natural& b, const matrix& m)
{
    const std::size_t n = a.size();
    b.resize(n, 0);
    constexpr u64 excess = u64{1} << 62;
    const u128 offset = static_cast<u128>(excess) * limbbase - excess;
    u64 ca = excess, cb = excess;
    for (std::size_t i = 0; i < n; ++i)
    {
        const u128 pa = static_cast<u128>(m.a) * a[i], pb = static_cast<u128>(m.b) * b[i];
        const u128 pc = static_cast<u128>(m.c) * a[i], pd = static_cast<u128>(m.d) * b[i];
        const u128 ta = (m.odd ? pb - pa : pa - pb) + offset + ca;
        const u128 tb = (m.odd ? pc - pd : pd - pc) + offset + cb;
        ca = divbasesmall(ta, a[i]);
        cb = divbasesmall(tb, b[i]);
    }
    assert(ca == excess && cb == excess);
    trim(a);
    trim(b);
    assert(compare(a, b) > 0);
}

// A signed natural.
struct signednatural
{
    natural magnitude;
    bool minus = false;
};

signednatural sum(const signednatural& x, const signednatural& y)
{
    if (x.minus == y.minus)
        return {add(x.magnitude, y.magnitude), x.minus};
    const int c = compare(x.magnitude, y.magnitude);
    if (c >= 0)
        return {subtract(x.magnitude, y.magnitude), x.minus && c > 0};
    return {subtract(y.magnitude, x.magnitude), y.minus};
}

signednatural scaled(const signednatural& x, bool minus, const natural& f)
{
    signednatural r{multiply(x.magnitude, f), x.minus != minus};
    r.minus = r.minus && !r.magnitude.empty();
    return r;
}

// What the plain algorithm tracks: nothing.
struct nocofactors
{
    static constexpr bool wantsquotient = false;
    void apply(const matrix&) {}
    void step(const natural&) {}
};

// The extended algorithm's cofactors of x: a = ua x and b = ub x modulo m.
struct cofactors
{
    static constexpr bool wantsquotient = true;
    signednatural ua, ub{{1}, false};
    void apply(const matrix& m)
    {
        const signednatural na =
            sum(scaled(ua, m.odd, fromsmall(m.a)), scaled(ub, !m.odd, fromsmall(m.b)));
        const signednatural nb =
            sum(scaled(ua, !m.odd, fromsmall(m.c)), scaled(ub, m.odd, fromsmall(m.d)));
        ua = na;
        ub = nb;
    }
    // a, b = b, a - q b
    void step(const natural& q)
    {
        signednatural next = sum(ua, scaled(ub, true, q));
        ua = std::move(ub);
        ub = std::move(next);
    }
};

template <class track>
natural euclid(natural a, natural b, track& t)
{
    assert(compare(a, b) >= 0);
    while (!b.empty())
    {
        if (a.size() <= 2)
        {
            // Two words: Euclid's steps on them alone.
            u128 x = 0, y = 0;
            tosmall(a, x);
            tosmall(b, y);
            while (y != 0)
            {
                const u128 q = quotient(x, y), r = x - q * y;
                if constexpr (track::wantsquotient)
                    t.step(fromsmall(q));
                x = y;
                y = r;
            }
            return fromsmall(x);
        }
        matrix m{};
        if (b.size() + 1 >= a.size())
        {
            u128 x = 0, y = 0;
            tops(a, b, x, y);
            if (lehmer(x, y, m))
            {
                combine(a, b, m);
                t.apply(m);
                continue;
            }
        }
        natural q, r;
        divmod(a, b, track::wantsquotient ? &q : nullptr, &r);
        t.step(q);
        a.swap(b);
        b.swap(r);
    }
    return a;
}
}  // namespace

natural gcd(natural a, natural b)
{
    if (compare(a, b) < 0)
        a.swap(b);
    nocofactors none;
    return euclid(std::move(a), std::move(b), none);
}

bool inverse(const natural& x, const natural& m, natural& out)
{
    assert(!m.empty());
    natural b;
    divmod(x, m, nullptr, &b);
    cofactors c;
    const natural g = euclid(m, std::move(b), c);
    if (g != natural{1})
        return false;
    // 1 = ua x modulo m (m = 1 included: there ua is 0), |ua| below m as Euclid's cofactors are.
    natural r;
    divmod(c.ua.magnitude, m, nullptr, &r);
    out = c.ua.minus && !r.empty() ? subtract(m, r) : r;
    return true;
}
}  // namespace detail
}  // namespace QUORVEL
