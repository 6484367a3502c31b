// fixedint through character buffers, as std::to_chars and std::from_chars do it for built-in
// integers.
#include "kernel/digits.hpp"
#include "number/fields.hpp"

#include <quorvel/charconv.hpp>

#include <algorithm>

namespace QUORVEL
{
std::to_chars_result tochars(char* first, char* last, const fixedint& x) noexcept
{
    const std::size_t n = detail::usable(x);
    const std::int8_t* d = x.digits.data();
    const bool decimal = detail::alldecimal(d, n);
    // Digits outside 0 to 9 (only a caller puts them there) are read modulo 10, one by one.
    const auto digitat = [d](std::size_t i)
    { return static_cast<char>('0' + (d[i] % 10 + 10) % 10); };
    std::size_t length = decimal ? detail::significant(d, n) : n;
    while (!decimal && length > 0 && digitat(length - 1) == '0') --length;
    const bool minus = x.negative && length > 0;
    const std::size_t needed = std::max<std::size_t>(length, 1) + (minus ? 1 : 0);
    if (last < first || static_cast<std::size_t>(last - first) < needed)
        return {last, std::errc::value_too_large};
    char* p = first;
    if (minus)
        *p++ = '-';
    if (length == 0)
        *p++ = '0';
    else if (decimal)
        detail::textfromdigits(d, length, p);
    else
        for (std::size_t i = length; i-- > 0;) p[length - 1 - i] = digitat(i);
    return {p + length, std::errc{}};
}

std::from_chars_result fromchars(const char* first, const char* last, fixedint& x) noexcept
{
    const char* p = first;
    const bool minus = p < last && *p == '-';
    if (minus)
        ++p;
    const char* begin = p;
    p += detail::firstnondigit(begin, static_cast<std::size_t>(last > begin ? last - begin : 0));
    if (p == begin)
        return {first, std::errc::invalid_argument};
    const char* lead = begin;
    while (lead + 1 < p && *lead == '0') ++lead;  // a zero keeps one digit
    const auto length = static_cast<std::size_t>(p - lead);
    if (x.size < length)
        return {p, std::errc::result_out_of_range};
    try
    {
        const std::size_t n = detail::storelength(x.size);
        if (x.digits.size() != n)
            std::vector<std::int8_t>(n).swap(x.digits);  // a store a caller resized: rebuilt
    }
    catch (...)
    {
        return {first, std::errc::not_enough_memory};
    }
    detail::digitsfromtext(lead, length, x.digits.data());
    std::fill(x.digits.begin() + static_cast<std::ptrdiff_t>(length), x.digits.end(),
              std::int8_t{0});
    if (x.issigned)
        x.negative = minus && !(length == 1 && *lead == '0');
    return {p, std::errc{}};
}
}  // namespace QUORVEL
