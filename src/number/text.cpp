// Decimal text into numbers and back, and numbers through streams.
#include "kernel/digits.hpp"
#include "number/errors.hpp"
#include "number/fields.hpp"
#include "number/streams.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace QUORVEL
{
namespace
{
// Rendering of digits outside 0 to 9 (only a caller can put them there): each digit's own decimal
// text, most significant first, then leading zeros stripped. Slow, but never garbled memory.
std::string renderloose(const std::int8_t* d, std::size_t n)
{
    std::string text;
    for (std::size_t i = n; i-- > 0;) text += std::to_string(static_cast<int>(d[i]));
    const std::size_t first =
        std::min(text.find_first_not_of('0'), text.empty() ? 0 : text.size() - 1);
    return text.substr(first);
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
        detail::throwbadtext("fixedint: not a decimal integer", text);
    const std::size_t lead = std::min(body.find_first_not_of('0'), body.size());
    body.remove_prefix(lead);
    if (size < std::max<std::size_t>(body.size(), 1))  // a zero counts one digit
        detail::throwtoowide();
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

namespace detail
{
std::ostream& writenumber(std::ostream& out, std::string text)
{
    if ((out.flags() & std::ios_base::showpos) != 0 && (text.empty() || text[0] != '-'))
        text.insert(text.begin(), '+');
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
    else if (adjust == std::ios_base::internal && !text.empty() &&
             (text[0] == '-' || text[0] == '+'))
        padded.append(1, text[0]).append(pad, out.fill()).append(text, 1, std::string::npos);
    else
        padded.append(pad, out.fill()).append(text);
    out.width(0);
    return out.write(padded.data(), static_cast<std::streamsize>(padded.size()));
}

std::ios_base::iostate readnumbertext(std::istream& in, std::string& token, bool decimal,
                                      bool strict)
{
    const std::istream::sentry ready(in);  // skips leading blanks unless noskipws
    if (!ready)
        return std::ios_base::failbit;
    using traits = std::istream::traits_type;
    std::streambuf* source = in.rdbuf();
    traits::int_type c = source->sgetc();
    const auto at = [&c](const char* set)
    {
        if (traits::eq_int_type(c, traits::eof()))
            return false;
        for (const char* p = set; *p != '\0'; ++p)
            if (traits::to_char_type(c) == *p)
                return true;
        return false;
    };
    const auto take = [&] { token += traits::to_char_type(c), c = source->snextc(); };
    constexpr const char* digitset = "0123456789";
    if (at("+-"))
        take();
    while (at(digitset)) take();
    if (decimal && at("."))
    {
        take();
        while (at(digitset)) take();
    }
    if (decimal && at("eE"))
    {
        take();
        if (at("+-"))
            take();
        while (at(digitset)) take();
    }
    std::ios_base::iostate state = std::ios_base::goodbit;
    if (traits::eq_int_type(c, traits::eof()))
        state |= std::ios_base::eofbit;
    else if (strict)
    {
        const char next = traits::to_char_type(c);
        if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || next == '.' ||
            next == '_' || (next >= '0' && next <= '9'))
            state |= std::ios_base::failbit;
    }
    return state;
}
}  // namespace detail

std::ostream& operator<<(std::ostream& out, const fixedint& x)
{
    return detail::writenumber(out, x.asstring());
}

std::istream& operator>>(std::istream& in, fixedint& x)
{
    std::string token;
    std::ios_base::iostate state = detail::readnumbertext(in, token, false, true);
    if ((state & std::ios_base::failbit) == 0)
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

std::string fixedint::asstring() const
{
    const std::size_t n = detail::usable(*this);
    std::string text;
    if (!detail::alldecimal(digits.data(), n))
        text = renderloose(digits.data(), n);
    else if (n > 0)
    {
        text.resize(std::max<std::size_t>(detail::significant(digits.data(), n), 1));
        detail::textfromdigits(digits.data(), text.size(), &text[0]);
    }
    if (negative)
        text.insert(text.begin(), '-');
    return text;
}
}  // namespace QUORVEL
