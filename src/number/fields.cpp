#include "number/fields.hpp"

#include "kernel/digits.hpp"
#include "number/errors.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace QUORVEL
{
namespace detail
{
std::size_t storelength(std::uint64_t width)
{
    if constexpr (sizeof(std::size_t) < sizeof(std::uint64_t))
        if (width > std::numeric_limits<std::size_t>::max())
            throw std::length_error("fixedint: width beyond the digit store's maximum length");
    return static_cast<std::size_t>(width);
}

std::size_t requestedlength(std::uint64_t width)
{
    return static_cast<std::size_t>(
        std::min<std::uint64_t>(width, std::numeric_limits<std::size_t>::max()));
}

std::size_t usable(const fixedint& x)
{
    return static_cast<std::size_t>(std::min<std::uint64_t>(x.size, x.digits.size()));
}

std::size_t decimaldigits(std::uint64_t v, std::int8_t (&out)[20])
{
    std::size_t n = 0;
    do
    {
        out[n++] = static_cast<std::int8_t>(v % 10);
        v /= 10;
    } while (v != 0);
    return n;
}

void checkwidths(const fixedint& a, const fixedint& b)
{
    if (a.size != b.size)
        throwunequalwidths();
}

digitsof::digitsof(const fixedint& x) : length(storelength(x.size))
{
    const std::size_t n = usable(x);
    if (n == length && alldecimal(x.digits.data(), n))
    {
        view = x.digits.data();
        return;
    }
    copy.assign(length, 0);
    for (std::size_t i = 0; i < n; ++i)
        copy[i] = static_cast<std::int8_t>((x.digits[i] % 10 + 10) % 10);
    view = copy.data();
}
}  // namespace detail
}  // namespace QUORVEL
