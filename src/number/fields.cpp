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

std::size_t decimaldigits(const integerparts& v, std::int8_t (&out)[integerdigits])
{
    // Limbs of 18 digits from the bottom, each split into its digits; the top one without its
    // leading zeros.
    u128 rest = (static_cast<u128>(v.high) << 64) | v.low;
    std::size_t n = 0;
    do
    {
        u64 limb = 0;
        rest = divbase(rest, limb);
        const std::size_t end = rest != 0 ? n + limbdigits : integerdigits;
        do
        {
            out[n++] = static_cast<std::int8_t>(limb % 10);
            limb /= 10;
        } while (n < end && (limb != 0 || rest != 0));
    } while (rest != 0);
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
