// Built-in integers into numbers and back.
#include "kernel/digits.hpp"
#include "number/errors.hpp"
#include "number/fields.hpp"

#include <algorithm>
#include <cstring>

namespace QUORVEL
{
fixedint& fixedint::operator=(std::int64_t value)
{
    assignmagnitude(value < 0, value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                         : static_cast<std::uint64_t>(value));
    return *this;
}

void fixedint::assignmagnitude(bool minus, std::uint64_t magnitude)
{
    std::int8_t text[20];
    const std::size_t len = detail::decimaldigits(magnitude, text);
    if (size < len)
        detail::throwtoowide();
    const std::size_t n = detail::storelength(size);
    if (digits.size() == n)
        std::fill(digits.begin(), digits.end(), std::int8_t{0});
    else
        std::vector<std::int8_t>(n).swap(digits);  // a store a caller resized: rebuilt to the width
    std::memcpy(digits.data(), text, len);
    if (issigned)
        negative = minus;
}

std::int64_t fixedint::asint64() const
{
    const detail::digitsof x(*this);
    const std::size_t len = detail::significant(x.data(), x.size());
    std::uint64_t magnitude = 0;
    bool fits = len <= 19;
    for (std::size_t i = len; fits && i-- > 0;)
    {
        const std::uint64_t d = static_cast<std::uint8_t>(x.data()[i]);
        fits = magnitude <= (UINT64_MAX - d) / 10;
        magnitude = magnitude * 10 + d;
    }
    const std::uint64_t limit = std::uint64_t{INT64_MAX} + (negative ? 1 : 0);
    if (!fits || magnitude > limit)
        detail::throwdoesnotfit("std::int64_t");
    return negative ? static_cast<std::int64_t>(0 - magnitude)
                    : static_cast<std::int64_t>(magnitude);
}
}  // namespace QUORVEL
