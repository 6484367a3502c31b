// A decimal reference arithmetic for the fuzz harnesses and the differential tests, written for
// clarity rather than speed and independent of the library: magnitudes in base 10^4, least
// significant limb first, schoolbook methods. Where GMP is found, the harnesses check against
// both; without it, this alone keeps the checks.
#pragma once

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
}  // namespace reference
