/// @file
/// Formatting of `QUORVEL::fixedint` with `std::format` (C++20, where the standard library has
/// it) and with {fmt} (where `<fmt/format.h>` can be included). Opt in by including this header;
/// quorvel.hpp does not need it.
///
///     std::format("{:>12}", x)    fmt::format("{:*^20}", x)    fmt::print("{}\n", x)
///
/// A number formats as its `asstring()` text, with a string's fill, alignment (`<`, `>`, `^`; left
/// by default) and width, static or from an argument (`{:>{}}`). A precision (`{:.3}`) is refused
/// with a `format_error` (at compile time where the format string is checked): it would cut the
/// number. Formatting logs nothing.
#pragma once

#include <quorvel/quorvel.hpp>

#include <string>
#include <string_view>

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
/// Throws `Error` when the format options from `it` to their closing '}' hold a precision. Fill
/// may be any character, '.' too, when an alignment follows it; a nested `{...}` (a width from an
/// argument) is skipped.
template <typename Error, typename Iterator>
constexpr void refuseprecision(Iterator it, Iterator end)
{
    if (it != end && *it != '}')
    {
        Iterator next = it;
        ++next;
        if (next != end && (*next == '<' || *next == '>' || *next == '^'))
            it = next;
    }
    int depth = 0;
    for (; it != end; ++it)
    {
        if (*it == '{')
            ++depth;
        else if (*it == '}')
        {
            if (depth == 0)
                return;
            --depth;
        }
        else if (*it == '.' && depth == 0)
            throw Error("a fixedint takes no precision: it would cut the number");
    }
}

/// A formatter of numbers as their decimal text, on the string-view formatter `Base` of a
/// formatting library whose error type is `Error` and whose string view is `View`.
template <typename Base, typename Error, typename View>
struct textformatter : Base
{
    /// Reads fill, alignment and width; a precision is an `Error`.
    template <typename ParseContext>
    constexpr auto parse(ParseContext& context)
    {
        refuseprecision<Error>(context.begin(), context.end());
        return Base::parse(context);
    }
    /// Writes `x.asstring()` with them.
    template <typename Context>
    auto format(const fixedint& x, Context& context) const
    {
        const std::string text = x.asstring();
        return Base::format(View(text.data(), text.size()), context);
    }
};
}  // namespace detail
}  // namespace QUORVEL

#if defined(QUORVEL_HAS_STD_FORMAT)
namespace std
{
/// `std::format` support: a number formats as its decimal text, with a string's fill, alignment
/// and width; a precision is a `std::format_error`.
template <>
struct formatter<QUORVEL::fixedint, char>
    : QUORVEL::detail::textformatter<formatter<string_view, char>, format_error, string_view>
{
};
}  // namespace std
#endif

#if defined(QUORVEL_HAS_FMT)
namespace fmt
{
/// {fmt} support: a number formats as its decimal text, with a string's fill, alignment and
/// width; a precision is a `fmt::format_error`.
template <>
struct formatter<QUORVEL::fixedint, char>
    : QUORVEL::detail::textformatter<formatter<string_view, char>, format_error, string_view>
{
};
}  // namespace fmt
#endif
