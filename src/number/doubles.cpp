// Doubles and decimal digits: the shortest text of a double, the double nearest to digits, the
// exact digits of an integral double; and fixedint's conversions from and to doubles.
#include "number/doubles.hpp"

#include "kernel/digits.hpp"
#include "kernel/natural.hpp"
#include "number/errors.hpp"
#include "number/fields.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#if defined(__has_include)
#if __has_include(<version>)
#include <version>
#endif
#endif

namespace QUORVEL
{
namespace detail
{
// The shortest text that reads back as `value`.
std::string shortest(double value)
{
    char text[64];
#if defined(__cpp_lib_to_chars) || defined(_LIBCPP_VERSION)
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ptr);
#else
    // The fewest significant digits that read back, from the C library's exponent form; its
    // decimal point may be the locale's, so the digits are taken around it.
    for (int digits = 1;; ++digits)
    {
        std::snprintf(text, sizeof text, "%.*e", digits - 1, value);
        std::string s;
        for (const char* p = text; *p != '\0'; ++p)
            s += (*p >= '0' && *p <= '9') || *p == '-' || *p == '+' || *p == 'e' ? *p : '.';
        if (digits == 17 || std::strtod(text, nullptr) == value)
            return s;
    }
#endif
}

// The double nearest to digits d[0, length) (most significant last) times 10^-scale.
double nearest(bool minus, const std::int8_t* d, std::size_t length, std::uint64_t scale)
{
    // The power of ten just above the value: far from 1, the nearest double is 0 or infinity.
    const bool tiny = scale >= length && scale - length > 400;
    const bool huge = length > scale && length - scale > 400;
    double v = huge ? std::numeric_limits<double>::infinity() : 0.0;
    if (length > 0 && !tiny && !huge)
    {
        // Digits and a decimal exponent, with no point: what both readers take alike, in any
        // locale.
        std::string text(length, '0');
        detail::textfromdigits(d, length, &text[0]);
        if (scale > 0)
            text += "e-" + std::to_string(scale);
#if defined(__cpp_lib_to_chars)
        const std::from_chars_result r = std::from_chars(text.data(), text.data() + text.size(), v);
        if (r.ec == std::errc::result_out_of_range)
            v = length > scale ? std::numeric_limits<double>::infinity() : 0.0;
#else
        v = std::strtod(text.c_str(), nullptr);
#endif
    }
    return minus ? -v : v;
}

std::vector<std::int8_t> integerdigitsof(double value)
{
    const double magnitude = std::fabs(value);
    if (magnitude < 18446744073709551616.0)  // 2^64
    {
        std::int8_t d[integerdigits];
        const std::size_t n = decimaldigits({false, 0, static_cast<std::uint64_t>(magnitude)}, d);
        return n == 1 && d[0] == 0 ? std::vector<std::int8_t>{}
                                   : std::vector<std::int8_t>(d, d + n);
    }
    // mantissa * 2^shift with a mantissa of 53 bits, the shift at least 11; doubled up 59 bits at
    // a time (2^59 is below a limb's base).
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    natural x = fromsmall(mantissa);
    for (int shift = exponent - 53; shift > 0;)
    {
        const int step = std::min(shift, 59);
        x = multiply(x, std::uint64_t{1} << step);
        shift -= step;
    }
    std::vector<std::int8_t> d(digitlength(x));
    todigits(x, d.data(), d.size());
    return d;
}
}  // namespace detail

fixedint::fixedint(std::uint64_t width, double value) : fixedint(width)
{
    *this = value;
}

fixedint& fixedint::operator=(double value)
{
    if (!std::isfinite(value))
        detail::throwdoublenotfinite();
    if (std::trunc(value) != value)
        detail::throwdoublefraction(detail::shortest(value));
    const std::vector<std::int8_t> d = detail::integerdigitsof(value);
    if (size < std::max<std::size_t>(d.size(), 1))
        detail::throwtoowide();
    const std::size_t n = detail::storelength(size);
    if (digits.size() != n)
        std::vector<std::int8_t>(n).swap(digits);  // a store a caller resized: rebuilt to the width
    std::copy(d.begin(), d.end(), digits.begin());
    std::fill(digits.begin() + static_cast<std::ptrdiff_t>(d.size()), digits.end(), std::int8_t{0});
    if (issigned)
        negative = value < 0;
    return *this;
}

double fixedint::asdouble() const
{
    const detail::digitsof x(*this);
    const std::size_t length = detail::significant(x.data(), x.size());
    return detail::nearest(negative && length > 0, x.data(), length, 0);
}
}  // namespace QUORVEL
