// Decimal text into numbers, numbers into streams and back, and the text of a fixedfloat.
#include "quorvel/digits.hpp"
#include "quorvel/number.hpp"
#include "quorvel/quorvel.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace QUORVEL
{
namespace
{
[[noreturn]] void notanumber(std::string_view text)
{
    constexpr std::size_t shown = 40;
    std::string message = "fixedint: not a decimal integer: \"";
    message.append(text.substr(0, shown));
    message += text.size() > shown ? "...\"" : "\"";
    throw std::invalid_argument(message);
}
}  // namespace

fixedint::fixedint(std::uint64_t width, std::string_view text) : fixedint(width)
{
    *this = text;
}

fixedint& fixedint::operator=(std::string_view text)
{
    const bool minus = !text.empty() && text[0] == '-';
    std::string_view body = text;
    if (!body.empty() && (body[0] == '-' || body[0] == '+'))
        body.remove_prefix(1);
    if (body.empty() || detail::firstnondigit(body.data(), body.size()) != body.size())
        notanumber(text);
    const std::size_t lead = std::min(body.find_first_not_of('0'), body.size());
    body.remove_prefix(lead);
    if (size < std::max<std::size_t>(body.size(), 1))  // a zero counts one digit
        throw std::out_of_range("Input int bigger than size!");
    const std::size_t n = detail::storelength(size);
    if (digits.size() != n)
        std::vector<std::int8_t>(n).swap(digits);  // a store a caller resized: rebuilt to the width
    detail::digitsfromtext(body.data(), body.size(), digits.data());
    std::fill(digits.begin() + static_cast<std::ptrdiff_t>(body.size()), digits.end(),
              std::int8_t{0});
    if (issigned)
        negative = minus;
    return *this;
}

std::ostream& operator<<(std::ostream& out, const fixedint& x)
{
    const std::string text = x.asstring();
    const std::streamsize width = out.width();
    const auto pad =
        static_cast<std::size_t>(width > static_cast<std::streamsize>(text.size())
                                     ? width - static_cast<std::streamsize>(text.size())
                                     : 0);
    const std::ios_base::fmtflags adjust = out.flags() & std::ios_base::adjustfield;
    std::string padded;
    padded.reserve(text.size() + pad);
    if (adjust == std::ios_base::left)
        padded.append(text).append(pad, out.fill());
    else if (adjust == std::ios_base::internal && !text.empty() && text[0] == '-')
        padded.append(1, '-').append(pad, out.fill()).append(text, 1, std::string::npos);
    else
        padded.append(pad, out.fill()).append(text);
    out.width(0);
    return out.write(padded.data(), static_cast<std::streamsize>(padded.size()));
}

std::istream& operator>>(std::istream& in, fixedint& x)
{
    const std::istream::sentry ready(in);  // skips leading blanks unless noskipws
    if (!ready)
        return in;
    std::streambuf* source = in.rdbuf();
    std::string token;
    std::ios_base::iostate state = std::ios_base::goodbit;
    using traits = std::istream::traits_type;
    traits::int_type c = source->sgetc();
    if (!traits::eq_int_type(c, traits::eof()) &&
        (traits::to_char_type(c) == '-' || traits::to_char_type(c) == '+'))
    {
        token += traits::to_char_type(c);
        c = source->snextc();
    }
    while (!traits::eq_int_type(c, traits::eof()) && traits::to_char_type(c) >= '0' &&
           traits::to_char_type(c) <= '9')
    {
        token += traits::to_char_type(c);
        c = source->snextc();
    }
    if (traits::eq_int_type(c, traits::eof()))
        state |= std::ios_base::eofbit;
    try
    {
        x = std::string_view(token);
    }
    catch (const std::invalid_argument&)  // no digits
    {
        state |= std::ios_base::failbit;
    }
    catch (const std::out_of_range&)  // wider than x
    {
        state |= std::ios_base::failbit;
    }
    in.setstate(state);
    return in;
}

std::string fixedfloat::asstring() const
{
    const std::uint64_t fraction = pointpos / 2;
    const detail::digitsof x(number);
    const std::size_t len = detail::significant(x.data(), x.size());
    if (fraction > std::numeric_limits<std::size_t>::max() / 2 - len - 3)
        throw std::length_error("fixedfloat: too many fraction digits to render");
    const auto k = static_cast<std::size_t>(fraction);
    // All digits, most significant first, with at least one before the point.
    std::string all(std::max(len, k + 1), '0');
    detail::textfromdigits(x.data(), len, &all[all.size() - len]);
    if (k > 0)
        all.insert(all.size() - k, 1, '.');
    if (number.negative)
        all.insert(all.begin(), '-');
    return all;
}
}  // namespace QUORVEL
