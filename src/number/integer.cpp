// Built-in integers into numbers and back.
#include "kernel/digits.hpp"
#include "kernel/small.hpp"
#include "number/errors.hpp"
#include "number/fields.hpp"

#include <algorithm>
#include <cstring>

namespace QUORVEL
{
namespace
{
using detail::u128;

// The magnitude of x as two words; false when it has more than 39 digits or is 2^128 or more.
bool magnitudeof(const fixedint& x, u128& v)
{
    const detail::digitsof d(x);
    const std::size_t len = detail::significant(d.data(), d.size());
    if (len > detail::integerdigits)
        return false;
    const std::size_t low = std::min(len, detail::twowords);
    detail::smallvalue(d.data(), low, v);
    if (len == detail::integerdigits)
    {
        // One more digit: d * 10^38 + v must stay below 2^128 (about 3.4 * 10^38).
        const auto digit = static_cast<std::uint8_t>(d.data()[detail::twowords]);
        if (digit > 3)
            return false;
        const u128 top = detail::power10(detail::twowords) * digit;
        const u128 largest = ~u128{0};
        if (largest - top < v)
            return false;
        v += top;
    }
    return true;
}

// The magnitude of x when x is not negative (or "-0") and the magnitude is at most `limit`, or
// at most `limit` + 1 for a negative x where `negativeallowed`; else throws.
u128 magnitudewithin(const fixedint& x, u128 limit, bool negativeallowed, const char* type)
{
    u128 v = 0;
    const bool fits = magnitudeof(x, v);
    const bool minus = x.negative && v != 0;
    if (!fits || (minus && !negativeallowed) || v > limit + (minus ? 1 : 0))
        detail::throwdoesnotfit(type);
    return v;
}
}  // namespace

fixedint& fixedint::operator=(std::int64_t value)
{
    assignparts(detail::partsof(value));
    return *this;
}

void fixedint::assignparts(const detail::integerparts& value)
{
    std::int8_t text[detail::integerdigits];
    const std::size_t len = detail::decimaldigits(value, text);
    if (size < len)
        detail::throwtoowide();
    const std::size_t n = detail::storelength(size);
    if (digits.size() == n)
        std::fill(digits.begin(), digits.end(), std::int8_t{0});
    else
        std::vector<std::int8_t>(n).swap(digits);  // a store a caller resized: rebuilt to the width
    std::memcpy(digits.data(), text, len);
    if (issigned)
        negative = value.minus;
}

std::int64_t fixedint::asint64() const
{
    const u128 v = magnitudewithin(*this, INT64_MAX, true, "std::int64_t");
    return negative ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(v))
                    : static_cast<std::int64_t>(v);
}

std::uint64_t fixedint::asuint64() const
{
    return static_cast<std::uint64_t>(magnitudewithin(*this, UINT64_MAX, false, "std::uint64_t"));
}

#if defined(QUORVEL_HAS_INT128)
namespace
{
uint128 publicform(u128 v)
{
    return (static_cast<uint128>(static_cast<std::uint64_t>(v >> 64)) << 64) |
           static_cast<std::uint64_t>(v);
}
}  // namespace

int128 fixedint::asint128() const
{
    const u128 v = magnitudewithin(*this, ~u128{0} >> 1, true, "int128");
    const uint128 m = publicform(v);
    return negative ? static_cast<int128>(0 - m) : static_cast<int128>(m);
}

uint128 fixedint::asuint128() const
{
    return publicform(magnitudewithin(*this, ~u128{0}, false, "uint128"));
}
#endif
}  // namespace QUORVEL
