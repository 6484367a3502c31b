// Comparison and hashing of fixedint, by value.
#include "kernel/digits.hpp"
#include "number/fields.hpp"
#include "number/scaled.hpp"

#include <algorithm>
#include <cstring>

namespace QUORVEL
{
namespace
{
// -1, 0 or 1 comparing the values (sign flag, digits).
int comparevalues(bool aminus, const std::int8_t* a, std::size_t la, bool bminus,
                  const std::int8_t* b, std::size_t lb)
{
    la = detail::significant(a, la);
    lb = detail::significant(b, lb);
    aminus = aminus && la > 0;  // "-0" equals 0
    bminus = bminus && lb > 0;
    if (aminus != bminus)
        return aminus ? -1 : 1;
    const int c = detail::comparedigits(a, la, b, lb);
    return aminus ? -c : c;
}
}  // namespace

int fixedint::compare(const fixedint& other) const
{
    const detail::digitsof x(*this), y(other);
    return comparevalues(negative, x.data(), x.size(), other.negative, y.data(), y.size());
}

int fixedint::compareparts(const detail::integerparts& value) const
{
    std::int8_t d[detail::integerdigits];
    const std::size_t len = detail::decimaldigits(value, d);
    const detail::digitsof x(*this);
    return comparevalues(negative, x.data(), x.size(), value.minus, d, len);
}

namespace detail
{
std::size_t hashdigits(const std::int8_t* d, std::size_t length, bool negative)
{
    std::uint64_t h = negative && length > 0 ? 0x9E3779B97F4A7C15ULL : 0;
    for (std::size_t i = 0; i < length; i += 8)
    {
        std::uint64_t word = 0;
        std::memcpy(&word, d + i, std::min<std::size_t>(8, length - i));
        h = (h ^ word) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 32;
    }
    return static_cast<std::size_t>(h ^ length);
}
}  // namespace detail

std::size_t fixedint::hash() const
{
    const detail::digitsof x(*this);
    return detail::hashdigits(x.data(), detail::significant(x.data(), x.size()), negative);
}
}  // namespace QUORVEL
