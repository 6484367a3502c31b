// Formatting numbers with {fmt} and std::format: one table, run through each library this build
// has. The build says which it expects, so a formatter that silently drops out fails to compile.
#include <quorvel/format.hpp>

#include <gtest/gtest.h>

#include <string>

#if defined(QUORVEL_EXPECT_FMT) && !defined(QUORVEL_HAS_FMT)
#error "{fmt} was found but quorvel/format.hpp did not enable its formatter"
#endif
#if defined(QUORVEL_EXPECT_STD_FORMAT) && !defined(QUORVEL_HAS_STD_FORMAT)
#error "this standard library has std::format but quorvel/format.hpp did not enable its formatter"
#endif

namespace
{
using QUORVEL::fixedint;

struct formatcase
{
    const char* pattern;
    const char* value;
    const char* expected;  // nullptr: the options are refused (format_error)
};

const std::string longdigits(300, '7');

const formatcase formatcases[] = {
    {"{}", "-1234", "-1234"},
    {"{}", "-0", "-0"},  // the text of asstring(), sign flag included
    {"{:>8}", "-1234", "   -1234"},
    {"{:<8}|", "-1234", "-1234   |"},
    {"{:8}|", "1234", "1234    |"},  // left, as for a string
    {"{:*^9}", "-1234", "**-1234**"},
    {"{:.>8}", "42", "......42"},  // '.' as fill is not a precision
    {"{:.^6}", "42", "..42.."},
    {"{:3}", "-1234", "-1234"},  // a narrow width never cuts the number
    {"[{:>12}]", "-99", "[         -99]"},
    {"{:.3}", "-1234", nullptr},  // a precision would cut it
    {"{:>8.2}", "-1234", nullptr},
    {"{:<.1}", "1", nullptr},
};

// Runs the table through `format(pattern, x)`; `Error` is that library's format_error.
template <typename Error, typename Format>
void checktable(Format format)
{
    for (const formatcase& c : formatcases)
    {
        SCOPED_TRACE(c.pattern);
        const fixedint x(12, c.value);
        const auto before = QUORVEL::logstream.tellp();
        if (c.expected == nullptr)
            EXPECT_THROW(format(c.pattern, x), Error);
        else
            EXPECT_EQ(format(c.pattern, x), c.expected);
        EXPECT_EQ(QUORVEL::logstream.tellp(), before) << "formatting logs nothing";
    }
}

#if defined(QUORVEL_EXPECT_FMT)
TEST(Format, FmtFollowsTheStringOptions)
{
    checktable<fmt::format_error>([](const char* pattern, const fixedint& x)
                                  { return fmt::format(fmt::runtime(pattern), x); });
    const fixedint big(400, longdigits);
    EXPECT_EQ(fmt::format("{:>{}}", big, 305), "     " + longdigits);
    EXPECT_EQ(fmt::format("{} and {}", fixedint(5, -3), fixedint(5, 12345)), "-3 and 12345");
    EXPECT_THROW((void)fmt::format(fmt::runtime("{:>{}.{}}"), big, 305, 2), fmt::format_error);
}
#endif

#if defined(QUORVEL_EXPECT_STD_FORMAT)
TEST(Format, StdFormatFollowsTheStringOptions)
{
    checktable<std::format_error>([](const char* pattern, const fixedint& x)
                                  { return std::vformat(pattern, std::make_format_args(x)); });
    const fixedint big(400, longdigits);
    EXPECT_EQ(std::format("{:>{}}", big, 305), "     " + longdigits);
    EXPECT_EQ(std::format("{} and {}", fixedint(5, -3), fixedint(5, 12345)), "-3 and 12345");
    const int width = 305, precision = 2;
    EXPECT_THROW((void)std::vformat("{:>{}.{}}", std::make_format_args(big, width, precision)),
                 std::format_error);
}
#endif
}  // namespace
