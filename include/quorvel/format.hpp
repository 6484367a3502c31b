/// @file
/// Formatting of `QUORVEL::fixedint` and `QUORVEL::fixedfloat` with `std::format` (C++20, where
/// the standard library has it) and with {fmt} (where `<fmt/format.h>` can be included). Opt in by
/// including this header; quorvel.hpp does not need it.
///
///     std::format("{:>12}", x)    fmt::format("{:*^20}", x)    std::format("{:+.2f}", price)
///
/// Numbers take the options of the standard's arithmetic types: fill and alignment (`<`, `>`,
/// `^`; right by default), sign (`+`, `-`, space), `0` (zeros after the sign, up to the width),
/// width (static or from an argument, `{:>{}}`) and `L` (digit groups and decimal point of the
/// formatting locale: "1,234,567.89" where it groups by three with commas).
/// - A `fixedint` formats as its `asstring()` digits, with the type `d` or none. A precision is
///   refused (it would cut the number).
/// - A `fixedfloat` formats as its `asstring()` text, every fraction digit; with a precision
///   `.N` (and the type `f` or none) rounded half to even to N places, as `asstring(N)`.
/// Anything else is a `format_error` (at compile time where the format string is checked).
/// Formatting logs nothing.
#pragma once

#include <quorvel/fixedfloat.hpp>
#include <quorvel/fixedint.hpp>

#include <cstddef>
#include <locale>
#include <string>
#include <string_view>
#include <type_traits>

#if defined(__has_include)
#if __has_include(<version>)
#include <version>
#endif
// libc++ 16 has a working <format> but does not define __cpp_lib_format yet.
#if __cplusplus >= 202002L && __has_include(<format>) &&                                         \
    (defined(__cpp_lib_format) ||                                                                 \
     (defined(_LIBCPP_VERSION) && !defined(_LIBCPP_HAS_NO_INCOMPLETE_FORMAT)))
/// Defined where this header gives `std::format` support.
#define QUORVEL_HAS_STD_FORMAT 1  // NOLINT(cppcoreguidelines-macro-usage): for `#if`
#include <format>
#endif
#if __has_include(<fmt/format.h>)
/// Defined where this header gives {fmt} support.
#define QUORVEL_HAS_FMT 1  // NOLINT(cppcoreguidelines-macro-usage): for `#if`
#include <fmt/format.h>
#endif
#endif

namespace QUORVEL
{
namespace detail
{
/// The options of a number's format: [[fill]align][sign][0][width][.precision][L][type].
struct numberformat
{
    char fill[4] = {' ', 0, 0, 0};  // one character, in UTF-8
    std::size_t filllength = 1;
    char align = 0;   // '<', '>', '^', or 0: right
    char sign = '-';  // '-', '+' or ' '
    bool zero = false;
    bool localized = false;
    std::size_t width = 0;
    int widtharg = -1;  // the argument that holds the width, or -1
    bool hasprecision = false;
    std::size_t precision = 0;
    int precisionarg = -1;
};

/// The length of the UTF-8 sequence that starts with `c` (1 for anything else).
constexpr std::size_t utf8length(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0xF0 ? 4 : u >= 0xE0 ? 3 : u >= 0xC0 ? 2 : 1;
}

/// Reads a number's format options from `context` into `f`, up to the closing '}': the types of
/// `types` (a number takes none of them as well), a precision where `precision`. Throws `Error`
/// for anything else.
template <typename Error, typename ParseContext>
constexpr auto parsenumberformat(ParseContext& context, numberformat& f, const char* types,
                                 bool precision)
{
    auto it = context.begin();
    const auto end = context.end();
    const auto at = [&](char c) { return it != end && *it == c; };
    const auto isalign = [](char c) { return c == '<' || c == '>' || c == '^'; };
    // An unsigned number, or `{}` / `{n}` naming an argument; returns whether one was there.
    const auto count = [&](std::size_t& value, int& argument)
    {
        if (at('{'))
        {
            ++it;
            if (at('}'))
                argument = static_cast<int>(context.next_arg_id());
            else
            {
                argument = 0;
                while (it != end && *it >= '0' && *it <= '9')
                    argument = argument * 10 + (*it++ - '0');
                if (!at('}'))
                    throw Error("quorvel: a width or precision argument is {} or {n}");
                context.check_arg_id(static_cast<decltype(context.next_arg_id())>(argument));
            }
            ++it;
            return true;
        }
        if (it == end || *it < '0' || *it > '9')
            return false;
        value = 0;
        while (it != end && *it >= '0' && *it <= '9')
            value = value * 10 + static_cast<std::size_t>(*it++ - '0');
        return true;
    };
    if (it != end && *it != '}')
    {
        // A fill is any character followed by an alignment.
        const std::size_t n = utf8length(*it);
        auto next = it;
        for (std::size_t i = 0; i < n && next != end; ++i) ++next;
        if (next != end && isalign(*next))
        {
            f.filllength = 0;
            for (; it != next; ++it) f.fill[f.filllength++] = *it;
            f.align = *it++;
        }
        else if (isalign(*it))
            f.align = *it++;
    }
    if (at('+') || at('-') || at(' '))
        f.sign = *it++;
    if (at('#'))
        throw Error("quorvel: numbers take no '#'");
    if (at('0'))
    {
        f.zero = true;
        ++it;
    }
    count(f.width, f.widtharg);
    if (at('.'))
    {
        ++it;
        if (!precision)
            throw Error("quorvel: a fixedint takes no precision: it would cut the number");
        if (!count(f.precision, f.precisionarg))
            throw Error("quorvel: a precision needs its number of places");
        f.hasprecision = true;
    }
    if (at('L'))
    {
        f.localized = true;
        ++it;
    }
    if (it != end && *it != '}')
    {
        bool known = false;
        for (const char* t = types; *t != '\0'; ++t) known = known || *it == *t;
        if (!known)
            throw Error("quorvel: not a type this number takes");
        ++it;
    }
    if (it != end && *it != '}')
        throw Error("quorvel: unknown format options");
    return it;
}

/// Lays a number out: `sign` ("-" or ""), its integer digits and its fraction digits (without
/// the point), with the options `f`, the width `width` and the locale `locale` for `L`.
inline std::string laynumber(const numberformat& f, std::size_t width, const std::locale& locale,
                             std::string_view sign, std::string_view integer,
                             std::string_view fraction, bool point)
{
    std::string head(sign);
    if (head.empty() && f.sign != '-')
        head = std::string(1, f.sign);
    std::string body;
    char decimalpoint = '.';
    if (f.localized)
    {
        const auto& punct = std::use_facet<std::numpunct<char>>(locale);
        const std::string grouping = punct.grouping();
        decimalpoint = punct.decimal_point();
        // Groups from the right: each size in turn, the last one repeating; none where a size is
        // 0 or CHAR_MAX.
        std::string grouped;
        std::size_t left = integer.size(), g = 0, size = 0;
        while (left > 0)
        {
            if (g < grouping.size())
                size = static_cast<unsigned char>(grouping[g++]);
            const std::size_t take = size == 0 || size >= 127 || size > left ? left : size;
            grouped.insert(0, integer.substr(left - take, take));
            left -= take;
            if (left > 0)
                grouped.insert(grouped.begin(), punct.thousands_sep());
        }
        body = grouped;
    }
    else
        body = std::string(integer);
    if (point)
        body.append(1, decimalpoint).append(fraction);
    const std::size_t used = head.size() + body.size();
    const std::size_t pad = width > used ? width - used : 0;
    if (f.align == 0 && f.zero)
        return head + std::string(pad, '0') + body;
    const std::size_t before = f.align == '<' ? 0 : f.align == '^' ? pad / 2 : pad;
    std::string out;
    for (std::size_t i = 0; i < before; ++i) out.append(f.fill, f.filllength);
    out += head;
    out += body;
    for (std::size_t i = before; i < pad; ++i) out.append(f.fill, f.filllength);
    return out;
}

/// A width or a precision from an argument: a non-negative integer, else `Error`.
template <typename Error>
struct countargument
{
    template <typename T>
    std::size_t operator()(T value) const
    {
        if constexpr (std::is_integral<T>::value && !std::is_same<T, bool>::value &&
                      !std::is_same<T, char>::value)
        {
            if (value < 0)
                throw Error("quorvel: a width or precision argument is negative");
            return static_cast<std::size_t>(value);
        }
        else
            throw Error("quorvel: a width or precision argument is not an integer");
    }
};

/// A formatter of numbers for a formatting library, given by `Access`: its error type, how an
/// argument is read and the locale of a format call.
template <typename Access, typename Number>
struct numberformatter
{
    numberformat options;

    template <typename ParseContext>
    constexpr auto parse(ParseContext& context)
    {
        constexpr bool floating = std::is_same<Number, fixedfloat>::value;
        return parsenumberformat<typename Access::error>(context, options, floating ? "fF" : "d",
                                                         floating);
    }

    template <typename Context>
    auto format(const Number& x, Context& context) const
    {
        using error = typename Access::error;
        const std::size_t width =
            options.widtharg >= 0
                ? Access::argument(context, options.widtharg, countargument<error>())
                : options.width;
        std::string text;
        if constexpr (std::is_same<Number, fixedfloat>::value)
            text = options.hasprecision
                       ? x.asstring(options.precisionarg >= 0
                                        ? Access::argument(context, options.precisionarg,
                                                           countargument<error>())
                                        : options.precision)
                       : x.asstring();
        else
            text = x.asstring();
        const std::string_view all(text);
        const std::size_t digits = all.empty() || all[0] != '-' ? 0 : 1;
        const std::size_t point = all.find('.');
        const std::string_view integer = all.substr(digits, point - digits);
        const std::string_view fraction =
            point == std::string_view::npos ? std::string_view() : all.substr(point + 1);
        const std::string laid = laynumber(
            options, width, options.localized ? Access::locale(context) : std::locale::classic(),
            all.substr(0, digits), integer, fraction, point != std::string_view::npos);
        auto out = context.out();
        for (char c : laid) *out++ = c;
        return out;
    }
};
}  // namespace detail
}  // namespace QUORVEL

#if defined(QUORVEL_HAS_STD_FORMAT)
namespace QUORVEL
{
namespace detail
{
/// What the number formatters need of `std::format`.
struct stdformataccess
{
    using error = std::format_error;
    template <typename Context, typename Visitor>
    static std::size_t argument(Context& context, int id, Visitor visitor)
    {
        return std::visit_format_arg(visitor, context.arg(static_cast<std::size_t>(id)));
    }
    template <typename Context>
    static std::locale locale(Context& context)
    {
        return context.locale();
    }
};
}  // namespace detail
}  // namespace QUORVEL

namespace std
{
/// `std::format` support for fixedint: see `quorvel/format.hpp`.
template <>
struct formatter<QUORVEL::fixedint, char>
    : QUORVEL::detail::numberformatter<QUORVEL::detail::stdformataccess, QUORVEL::fixedint>
{
};
/// `std::format` support for fixedfloat: see `quorvel/format.hpp`.
template <>
struct formatter<QUORVEL::fixedfloat, char>
    : QUORVEL::detail::numberformatter<QUORVEL::detail::stdformataccess, QUORVEL::fixedfloat>
{
};
}  // namespace std
#endif

#if defined(QUORVEL_HAS_FMT)
namespace QUORVEL
{
namespace detail
{
/// What the number formatters need of {fmt}.
struct fmtaccess
{
    using error = fmt::format_error;
    template <typename Context, typename Visitor>
    static std::size_t argument(Context& context, int id, Visitor visitor)
    {
        return fmt::visit_format_arg(visitor, context.arg(id));
    }
    template <typename Context>
    static std::locale locale(Context& context)
    {
        return context.locale().template get<std::locale>();
    }
};
}  // namespace detail
}  // namespace QUORVEL

namespace fmt
{
/// {fmt} support for fixedint: see `quorvel/format.hpp`.
template <>
struct formatter<QUORVEL::fixedint, char>
    : QUORVEL::detail::numberformatter<QUORVEL::detail::fmtaccess, QUORVEL::fixedint>
{
};
/// {fmt} support for fixedfloat: see `quorvel/format.hpp`.
template <>
struct formatter<QUORVEL::fixedfloat, char>
    : QUORVEL::detail::numberformatter<QUORVEL::detail::fmtaccess, QUORVEL::fixedfloat>
{
};
}  // namespace fmt
#endif
