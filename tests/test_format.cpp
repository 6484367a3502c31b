// Formatting numbers with {fmt} and std::format: one table, run through each library this build
// has. The build says which it expects, so a formatter that silently drops out fails to compile.
#include <quorvel/format.hpp>
#include <quorvel/log.hpp>

#include <gtest/gtest.h>

#include <locale>
#include <string>

#if defined(QUORVEL_EXPECT_FMT) && !defined(QUORVEL_HAS_FMT)
#error "{fmt} was found but quorvel/format.hpp did not enable its formatter"
#endif
#if defined(QUORVEL_EXPECT_STD_FORMAT) && !defined(QUORVEL_HAS_STD_FORMAT)
#error "this standard library has std::format but quorvel/format.hpp did not enable its formatter"
#endif

namespace
{
using QUORVEL::fixedfloat;
using QUORVEL::fixedint;

struct formatcase
{
    const char* pattern;
    const char* value;     // a fixedint of width 12, or with a point a fixedfloat DECIMAL(12, 3)
    const char* expected;  // nullptr: the options are refused (format_error)
};

const std::string longdigits(300, '7');

// Expected texts as std::format gives them for the built-in integer or double of that value, but
// that a fixed-point value is exact (2.675 is 2.675, not 2.67499...) and never "-0" when rounded.
const formatcase formatcases[] = {
    {"{}", "-1234", "-1234"},
    {"{}", "-0", "-0"},  // the text of asstring(), sign flag included
    {"{:>8}", "-1234", "   -1234"},
    {"{:<8}|", "-1234", "-1234   |"},
    {"{:8}|", "1234", "    1234|"},  // right, as for a number
    {"{:*^9}", "-1234", "**-1234**"},
    {"{:.>8}", "42", "......42"},  // '.' as fill is not a precision
    {"{:.^6}", "42", "..42.."},
    {"{:3}", "-1234", "-1234"},  // a narrow width never cuts the number
    {"[{:>12}]", "-99", "[         -99]"},
    {"{:+}", "42", "+42"},
    {"{: }", "42", " 42"},
    {"{:+}", "-42", "-42"},
    {"{:08}", "-42", "-0000042"},
    {"{:<08}", "-42", "-42     "},  // an alignment overrides the zeros
    {"{:+08d}", "42", "+0000042"},
    {"{:d}", "7", "7"},
    {"{:L}", "1234567", "1,234,567"},  // in the tests' locale: groups of three, ","
    {"{:>12L}", "-1234567", "  -1,234,567"},
    {"{:é^7}", "42", "éé42ééé"},  // a fill of two bytes; the odd one after
    {"{:.3}", "-1234", nullptr},  // a precision would cut a fixedint
    {"{:>8.2}", "-1234", nullptr},
    {"{:x}", "1", nullptr},
    {"{:#}", "1", nullptr},
    // fixedfloat
    {"{}", "19.990", "19.990"},
    {"{:.2f}", "2.675", "2.68"},  // half to even, on the exact value
    {"{:.2}", "2.665", "2.66"},
    {"{:.0f}", "-0.500", "0"},  // half to even; and never "-0", unlike a double
    {"{:.0f}", "-0.501", "-1"},
    {"{:.1f}", "-0.040", "0.0"},  // never "-0"
    {"{:>10.1f}", "3.140", "       3.1"},
    {"{:+.2f}", "1.000", "+1.00"},
    {"{:010.2f}", "-1.000", "-000001.00"},
    {"{:L}", "1234567.890", "1,234,567.890"},
    {"{:.2Lf}", "1234567.885", "1,234,567.88"},
    {"{:d}", "1.000", nullptr},
};

// A locale that groups by three with commas and has a point, whatever the system provides.
struct groupbythree : std::numpunct<char>
{
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};
const std::locale grouped(std::locale::classic(), new groupbythree);

// Runs the table through `format(pattern, x)` for each kind of number; `Error` is that library's
// format_error.
template <typename Error, typename Format>
void checktable(Format format)
{
    for (const formatcase& c : formatcases)
    {
        SCOPED_TRACE(std::string(c.pattern) + " " + c.value);
        const bool floating = std::string(c.value).find('.') != std::string::npos;
        const auto run = [&]
        {
            return floating ? format(c.pattern, fixedfloat(12, 3, c.value))
                            : format(c.pattern, fixedint(12, c.value));
        };
        if (c.expected == nullptr)
            EXPECT_THROW(run(), Error);
        else
            EXPECT_EQ(run(), c.expected);
    }
}

// Formatting itself logs nothing.
template <typename Format>
void checksilence(Format format)
{
    const fixedint x(12, "-1234");
    const fixedfloat y(12, 3, "2.675");
    const auto before = QUORVEL::logstream.tellp();
    (void)format("{:>+10L}", x);
    (void)format("{:.2f}", y);
    EXPECT_EQ(QUORVEL::logstream.tellp(), before);
}

#if defined(QUORVEL_EXPECT_FMT)
TEST(Format, FmtFollowsTheNumberOptions)
{
    const auto format = [](const char* pattern, const auto& x)
    { return fmt::format(grouped, fmt::runtime(pattern), x); };
    checktable<fmt::format_error>(format);
    checksilence(format);
    const fixedint big(400, longdigits);
    EXPECT_EQ(fmt::format("{:>{}}", big, 305), "     " + longdigits);
    EXPECT_EQ(fmt::format("{} and {}", fixedint(5, -3), fixedint(5, 12345)), "-3 and 12345");
    EXPECT_EQ(fmt::format("{:.{}f}", fixedfloat(10, 3, "1.255"), 2), "1.26");
    EXPECT_THROW((void)fmt::format(fmt::runtime("{:>{}.{}}"), big, 305, 2), fmt::format_error);
}
#endif

#if defined(QUORVEL_EXPECT_STD_FORMAT)
TEST(Format, StdFormatFollowsTheNumberOptions)
{
    const auto format = [](const char* pattern, const auto& x)
    { return std::vformat(grouped, pattern, std::make_format_args(x)); };
    checktable<std::format_error>(format);
    checksilence(format);
    const fixedint big(400, longdigits);
    EXPECT_EQ(std::format("{:>{}}", big, 305), "     " + longdigits);
    EXPECT_EQ(std::format("{} and {}", fixedint(5, -3), fixedint(5, 12345)), "-3 and 12345");
    EXPECT_EQ(std::format("{:.{}f}", fixedfloat(10, 3, "1.255"), 2), "1.26");
    const int width = 305, precision = 2;
    EXPECT_THROW((void)std::vformat("{:>{}.{}}", std::make_format_args(big, width, precision)),
                 std::format_error);
}
#endif
}  // namespace
