// A decimal reference arithmetic for the fuzz harnesses and the differential tests, written for
// clarity rather than speed and independent of the library: magnitudes in base 10^4, least
// significant limb first, schoolbook methods. Where GMP is found, the harnesses check against
// both; without it, this alone keeps the checks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace reference
{
using limbs = std::vector<std::uint32_t>;
constexpr std::uint32_t base = 10000;

/// The magnitude of a digit vector (digits least significant first, each 0 to 9).
inline limbs fromdigits(const std::vector<std::int8_t>& d)
{
    limbs out((d.size() + 3) / 4, 0);
    for (std::size_t i = d.size(); i-- > 0;)
        out[i / 4] = out[i / 4] * 10 + static_cast<std::uint32_t>(d[i]);
    return out;
}

inline void trim(limbs& x)
{
    while (!x.empty() && x.back() == 0) x.pop_back();
}

/// Decimal text of the magnitude ("0" when zero).
inline std::string text(limbs x)
{
    trim(x);
    if (x.empty())
        return "0";
    std::string s = std::to_string(x.back());
    for (std::size_t i = x.size() - 1; i-- > 0;)
    {
        const std::string part = std::to_string(x[i]);
        s += std::string(4 - part.size(), '0') + part;
    }
    return s;
}

/// x modulo 10^digits.
inline limbs lowdigits(limbs x, std::uint64_t digits)
{
    const std::size_t whole = static_cast<std::size_t>(digits / 4);
    if (x.size() > whole)
    {
        std::uint32_t keep = x[whole], m = 1;
        for (std::uint64_t i = 0; i < digits % 4; ++i) m *= 10;
        x.resize(whole + 1);
        x[whole] = keep % m;
    }
    trim(x);
    return x;
}

/// a * b, keeping the low `digits` decimal digits. Column sums stay below 2^64 for up to 10^11
/// limbs, so the carries are made once, at the end.
inline limbs multiply(const limbs& a, const limbs& b, std::uint64_t digits)
{
    const std::size_t keep =
        std::min(static_cast<std::size_t>(digits / 4 + 1), a.size() + b.size());
    std::vector<std::uint64_t> acc(keep + 1, 0);
    for (std::size_t i = 0; i < a.size() && i < keep; ++i)
        for (std::size_t j = 0; j < b.size() && i + j < keep; ++j)
            acc[i + j] += std::uint64_t{a[i]} * b[j];
    limbs out(acc.size());
    std::uint64_t carry = 0;
    for (std::size_t k = 0; k < acc.size(); ++k)
    {
        carry += acc[k];
        out[k] = static_cast<std::uint32_t>(carry % base);
        carry /= base;
    }
    return lowdigits(out, digits);
}
/// -1, 0 or 1 comparing a and b.
inline int compare(limbs a, limbs b)
{
    trim(a);
    trim(b);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return 0;
}

/// a + b.
inline limbs add(const limbs& a, const limbs& b)
{
    limbs out(std::max(a.size(), b.size()) + 1, 0);
    std::uint32_t carry = 0;
    for (std::size_t i = 0; i < out.size(); ++i)
    {
        const std::uint32_t s = (i < a.size() ? a[i] : 0) + (i < b.size() ? b[i] : 0) + carry;
        out[i] = s % base;
        carry = s / base;
    }
    trim(out);
    return out;
}

/// a - b, for a >= b.
inline limbs subtract(const limbs& a, const limbs& b)
{
    limbs out(a.size(), 0);
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        std::int64_t d = std::int64_t{a[i]} - (i < b.size() ? b[i] : 0) - borrow;
        borrow = d < 0 ? 1 : 0;
        out[i] = static_cast<std::uint32_t>(d + borrow * base);
    }
    trim(out);
    return out;
}

/// a / b and a mod b, for b not zero: the remainder grows a limb at a time from the top, and each
/// quotient limb is the largest q with q * b <= remainder, found by halving the interval.
inline void divide(const limbs& a, limbs b, limbs& quotient, limbs& remainder)
{
    trim(b);
    quotient.assign(a.size(), 0);
    remainder.clear();
    for (std::size_t i = a.size(); i-- > 0;)
    {
        remainder.insert(remainder.begin(), a[i]);
        trim(remainder);
        std::uint32_t lo = 0, hi = base - 1;
        while (lo < hi)
        {
            const std::uint32_t mid = (lo + hi + 1) / 2;
            if (compare(multiply(b, limbs{mid}, 4 * (b.size() + 2)), remainder) <= 0)
                lo = mid;
            else
                hi = mid - 1;
        }
        quotient[i] = lo;
        remainder = subtract(remainder, multiply(b, limbs{lo}, 4 * (b.size() + 2)));
    }
    trim(quotient);
}

/// base^exponent modulo 10^digits (1 when exponent is 0, also for digits 0: the caller cuts).
inline limbs power(const limbs& b, std::uint64_t exponent, std::uint64_t digits)
{
    limbs result{1}, square = lowdigits(b, digits);
    for (; exponent != 0; exponent >>= 1)
    {
        if (exponent & 1)
            result = multiply(result, square, digits);
        if (exponent > 1)
            square = multiply(square, square, digits);
    }
    return lowdigits(result, digits);
}
}  // namespace reference
