// Fixed-point values as text: decimal text (with a point and an exponent) in, text out with every
// fraction digit or rounded to a number of places, doubles in and out, and streams.
#include "kernel/digits.hpp"
#include "number/doubles.hpp"
#include "number/errors.hpp"
#include "number/scaled.hpp"
#include "number/streams.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#if defined(__has_include)
#if __has_include(<version>)
#include <version>
#endif
#endif

namespace QUORVEL
{
namespace
{
using detail::nearest;
using detail::scaled;
using detail::scaledview;
using detail::shortest;

// Exponents beyond this make any value overflow or round to zero or one unit; they are held there.
constexpr std::int64_t farthest = 1000000000000000000;

// A decimal text split into its parts: the sign, the digits before and after the point, and the
// exponent.
struct decimaltext
{
    bool negative = false;
    std::string_view integer, fraction;
    std::int64_t exponent = 0;
};

// The length of the run of digits at the start of `text`.
std::size_t digitrun(std::string_view text)
{
    return detail::firstnondigit(text.data(), text.size());
}

// Splits `text` in the grammar: [sign] digits [. digits] [e|E [sign] digits], with at least one
// digit before the exponent; false for anything else.
bool split(std::string_view text, decimaltext& out)
{
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
    {
        out.negative = text[0] == '-';
        text.remove_prefix(1);
    }
    out.integer = text.substr(0, digitrun(text));
    text.remove_prefix(out.integer.size());
    if (!text.empty() && text[0] == '.')
    {
        text.remove_prefix(1);
        out.fraction = text.substr(0, digitrun(text));
        text.remove_prefix(out.fraction.size());
    }
    if (out.integer.empty() && out.fraction.empty())
        return false;
    if (text.empty())
        return true;
    if (text[0] != 'e' && text[0] != 'E')
        return false;
    text.remove_prefix(1);
    bool minus = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
    {
        minus = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || digitrun(text) != text.size())
        return false;
    std::int64_t e = 0;
    for (char c : text) e = std::min<std::int64_t>(farthest, e * 10 + (c - '0'));
    out.exponent = minus ? -e : e;
    return true;
}

// The value of a split text at `width` and `scale`, rounded with `mode`; std::overflow_error when
// it does not fit.
scaled valueof(const decimaltext& t, std::uint64_t width, std::uint64_t scale, rounding mode)
{
    scaled v;
    v.negative = t.negative;
    v.digits.resize(t.integer.size() + t.fraction.size());
    detail::digitsfromtext(t.fraction.data(), t.fraction.size(), v.digits.data());
    detail::digitsfromtext(t.integer.data(), t.integer.size(), v.digits.data() + t.fraction.size());
    const std::size_t length = detail::significant(v.digits.data(), v.digits.size());
    v.digits.resize(length);
    // The value is the digits times 10^e.
    const std::int64_t e = t.exponent - static_cast<std::int64_t>(t.fraction.size());
    if (length > 0 && e >= 0)
    {
        // Digits to be appended: refused before they are made when they could never fit.
        const auto up = static_cast<std::uint64_t>(e);
        if (length > width || up > width - length || scale > width - length - up)
            detail::throwdoesnotfitdecimal(width, scale);
        v.digits.insert(v.digits.begin(), static_cast<std::size_t>(up), std::int8_t{0});
    }
    else if (length > 0)
        v.scale = static_cast<std::uint64_t>(-e);
    detail::fitto(v, width, scale, mode);
    return v;
}

scaled parsed(std::string_view text, std::uint64_t width, std::uint64_t scale, rounding mode)
{
    detail::pointposof(width, scale);
    decimaltext t;
    if (!split(text, t))
        detail::throwbadtext("fixedfloat: not a decimal number", text);
    return valueof(t, width, scale, mode);
}

// Decimal text of digits d[0, length), with `places` of them after the point and at least one
// before it; "-" in front when `minus`.
std::string render(bool minus, const std::int8_t* d, std::size_t length, std::size_t places)
{
    if (places > std::numeric_limits<std::size_t>::max() / 2 - length - 3)
        throw std::length_error("fixedfloat: too many fraction digits to render");
    std::string all(std::max(length, places + 1), '0');
    detail::textfromdigits(d, length, &all[all.size() - length]);
    if (places > 0)
        all.insert(all.size() - places, 1, '.');
    if (minus)
        all.insert(all.begin(), '-');
    return all;
}
}  // namespace

fixedfloat::fixedfloat(std::uint64_t width, std::uint64_t scale, std::string_view text,
                       rounding mode)
    : fixedfloat(width, scale, detail::floataccess::takescaled,
                 detail::floataccess::keep(parsed(text, width, scale, mode)))
{
}

fixedfloat::fixedfloat(std::uint64_t width, std::uint64_t scale, double value, rounding mode)
    : fixedfloat(width, scale, detail::floataccess::takescaled,
                 detail::floataccess::keep(
                     [&]
                     {
                         if (!std::isfinite(value))
                             throw std::invalid_argument(
                                 "fixedfloat: NaN and infinities are not decimal numbers");
                         return parsed(shortest(value), width, scale, mode);
                     }()))
{
}

std::string fixedfloat::asstring() const
{
    const detail::digitsof x(number);
    const std::size_t length = detail::significant(x.data(), x.size());
    if (pointpos / 2 > std::numeric_limits<std::size_t>::max())
        throw std::length_error("fixedfloat: too many fraction digits to render");
    return render(number.negative, x.data(), length, static_cast<std::size_t>(pointpos / 2));
}

std::string fixedfloat::asstring(std::uint64_t places, rounding mode) const
{
    const scaledview x(*this);
    scaled v;
    v.negative = x.negative();
    v.digits.assign(x.data(), x.data() + x.length());
    v.scale = x.scale();
    if (places > std::numeric_limits<std::size_t>::max() / 2)
        throw std::length_error("fixedfloat: too many fraction digits to render");
    detail::rescale(v, places, mode);
    return render(v.negative, v.digits.data(), v.digits.size(), static_cast<std::size_t>(places));
}

double fixedfloat::asdouble() const
{
    const scaledview x(*this);
    return nearest(x.negative(), x.data(), x.length(), x.scale());
}

std::ostream& operator<<(std::ostream& out, const fixedfloat& x)
{
    return detail::writenumber(out, x.asstring());
}

std::istream& operator>>(std::istream& in, fixedfloat& x)
{
    std::string token;
    std::ios_base::iostate state = detail::readnumbertext(in, token, true, true);
    if ((state & std::ios_base::failbit) != 0)
    {
        in.setstate(state);
        return in;
    }
    decimaltext t;
    try
    {
        if (split(token, t))
        {
            scaled v = valueof(t, x.width(), x.scale(), rounding::halfeven);
            x.number.digits.swap(v.digits);
            x.number.negative = v.negative;
        }
        else
            state |= std::ios_base::failbit;
    }
    catch (const std::overflow_error&)  // wider than x
    {
        state |= std::ios_base::failbit;
    }
    in.setstate(state);
    return in;
}
}  // namespace QUORVEL
