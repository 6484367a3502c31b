// Multiplication: values, signs, wrap-around, errors and log lines.
#include "quorvel/quorvel.hpp"
#include "support.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

namespace
{
using namespace testing_support;
using QUORVEL::fixedint;
using testing::StrEq;
using testing::ThrowsMessage;

// QUORVEL_TEST_SEED overrides the fixed seed; failures print the seed in use.
unsigned testseed()
{
    const char* env = std::getenv("QUORVEL_TEST_SEED");
    return env != nullptr ? static_cast<unsigned>(std::strtoul(env, nullptr, 10)) : 20261209u;
}

fixedint make(std::uint64_t width, std::int64_t value)
{
    fixedint x(width);
    x = value;
    return x;
}

// The product's text, computed independently of the library: long multiplication in base 10^4
// (no carries until the end), cut to the width.
std::string reference(const fixedint& a, const fixedint& b)
{
    const std::size_t n = a.size, limbs = (n + 3) / 4;
    auto pack = [&](const fixedint& x)
    {
        std::vector<std::uint64_t> v(limbs, 0);
        for (std::size_t i = n; i-- > 0;)
            v[i / 4] = v[i / 4] * 10 + static_cast<std::uint64_t>(x.digits[i]);
        return v;
    };
    const auto x = pack(a), y = pack(b);
    std::vector<std::uint64_t> acc(limbs, 0);
    for (std::size_t i = 0; i < limbs; ++i)
        if (x[i] != 0)
            for (std::size_t j = 0; i + j < limbs; ++j) acc[i + j] += x[i] * y[j];
    std::string text;
    std::uint64_t carry = 0;
    for (std::size_t k = 0; k < limbs; ++k)
    {
        const std::uint64_t v = acc[k] + carry;
        carry = v / 10000;
        for (std::uint64_t d = v % 10000, c = 0; c < 4; ++c, d /= 10)
            text += static_cast<char>('0' + d % 10);
    }
    text.resize(n);
    while (text.size() > 1 && text.back() == '0') text.pop_back();
    std::reverse(text.begin(), text.end());
    return (a.negative != b.negative ? "-" : "") + text;
}

struct product
{
    std::uint64_t width;
    std::int64_t a, b;
    const char* want;
};

// Checked by hand and with python3.
const product products[] = {
    {3, 0, 123, "0"},
    {3, 0, -123, "-0"},
    {3, -123, 0, "-0"},
    {4, 12, 3, "36"},
    {4, -12, 3, "-36"},
    {4, -12, -3, "36"},
    {2, 99, 99, "1"},
    {2, 50, 2, "0"},
    {2, -50, 2, "-0"},
    {1, 9, 9, "1"},
    {1, 3, 3, "9"},
    {128, 4294967295, 4294967295, "18446744065119617025"},
    {19, INT64_MAX, INT64_MAX, "7396907784232501249"},   // (2^63 - 1)^2 mod 10^19
    {20, INT64_MIN, INT64_MIN, "65843651857942052864"},  // 2^126 mod 10^20
};

void PrintTo(const product& p, std::ostream* os)
{
    *os << p.a << " * " << p.b << " at width " << p.width;
}

class Multiply : public testing::TestWithParam<product>
{
};

TEST_P(Multiply, GivesTheLowDigitsWithTheSign)
{
    const product& p = GetParam();
    const fixedint a = make(p.width, p.a), b = make(p.width, p.b);
    const fixedint c = a * b;
    EXPECT_EQ(c.asstring(), p.want);
    EXPECT_EQ(c.size, p.width);
    EXPECT_EQ(c.digits.size(), p.width);
    EXPECT_TRUE(c.issigned);
    EXPECT_FALSE(c.spareflag);
    EXPECT_EQ(a.asstring(), std::to_string(p.a));  // operands unchanged
    EXPECT_EQ(b.asstring(), std::to_string(p.b));
}

INSTANTIATE_TEST_SUITE_P(Table, Multiply, testing::ValuesIn(products));

TEST(MultiplyLog, LogsScratchConstructionAndResize)
{
    const fixedint a = make(128, 4294967295);
    const std::size_t mark = logmark();
    {
        const fixedint c = a * a;
        EXPECT_EQ(messages(logsince(mark)),
                  concat(concat(constructionmessages(256), {"Resize requested in fixedint."}),
                         {"Resizing Digits to: 128", "Done.", "Deleted fixedint object."}));
        EXPECT_EQ((c * (a * a)).asstring(), "340282366604025813516997721482669850625");
    }
}

TEST(MultiplyErrors, UnequalWidthsThrowBeforeAnythingIsLogged)
{
    const fixedint a = make(3, 5), b = make(4, 5);
    const std::size_t mark = logmark();
    EXPECT_THAT([&] { (void)(a * b); },
                ThrowsMessage<std::length_error>(StrEq("Int sizes are not equal!")));
    // Only the by-value copy of `b` is destroyed.
    EXPECT_EQ(messages(logsince(mark)), std::vector<std::string>{"Deleted fixedint object."});
}

TEST(MultiplyErrors, WidthZeroFailsClearingTheScratchResult)
{
    const fixedint a(0);
    const std::size_t mark = logmark();
    EXPECT_THAT([&] { (void)(a * a); },
                ThrowsMessage<std::out_of_range>(StrEq("Input int bigger than size!")));
    EXPECT_EQ(
        messages(logsince(mark)),
        concat(constructionmessages(0), {"Deleted fixedint object.", "Deleted fixedint object."}));
}

TEST(MultiplyErrors, StoresLongerThanTheWidthReportThePositionPastTheScratch)
{
    fixedint a = make(3, 1), b = make(3, 1);
    a.digits.assign(5, 1);  // five significant digits at width 3
    b.digits.assign(2, 1);
    b.digits.push_back(1);
    const std::size_t mark = logmark();
    EXPECT_THAT([&] { (void)(a * b); },  // 5 + 3 digits reach position 7 > 2 * 3 - 1
                ThrowsMessage<std::out_of_range>(StrEq(
                    "Report this to dev: Out of range while running multiplication! Index: 6")));
    EXPECT_EQ(
        messages(logsince(mark)),
        concat(constructionmessages(6), {"Deleted fixedint object.", "Deleted fixedint object."}));
    a.digits.assign(4, 1);  // 4 + 2 digits fit the scratch result: computed from what is there
    b.digits.assign(2, 1);
    EXPECT_EQ((a * b).asstring(), "221");  // 1111 * 11 = 12221
}

TEST(MultiplyErrors, DigitsOutsideTheRangeGiveDigitsInside)
{
    fixedint a = make(40, 1), b = make(40, 1);
    for (auto& d : a.digits) d = -128;
    b.digits[3] = 127;
    const fixedint c = a * b;
    ASSERT_EQ(c.digits.size(), 40u);
    for (std::int8_t d : c.digits) EXPECT_TRUE(d >= 0 && d <= 9);
}

TEST(MultiplyErrors, LeftOperandWithoutSignGivesANonNegativeProduct)
{
    fixedint a = make(4, -12);
    a.issigned = false;
    EXPECT_EQ((a * make(4, 3)).asstring(), "36");
    EXPECT_EQ((a * make(4, -3)).asstring(), "36");
}

// Random operands at widths across the kernel's limb boundaries (18 digits) and thresholds (split
// product from 128 limbs, Karatsuba from 200), with leading zeros, zeros and all-nines.
TEST(MultiplyRandom, MatchesAnIndependentProduct)
{
    const unsigned seed = testseed();
    std::mt19937 rng(seed);
    const std::uint64_t widths[] = {1,    2,    17,   18,   19,   35,   36,
                                    37,   128,  300,  1151, 1152, 2285, 2286,
                                    2287, 2304, 3600, 3601, 5130, 6000, 12000};
    for (std::uint64_t width : widths)
        for (int round = 0; round < (width < 1000 ? 12 : 3); ++round)
        {
            fixedint a(width), b(width);
            const std::size_t la = round == 0 ? width : rng() % (width + 1);
            const std::size_t lb = round == 1 ? width : rng() % (width + 1);
            for (std::size_t i = 0; i < width; ++i)
            {
                a.digits[i] = static_cast<std::int8_t>(i < la ? rng() % 10 : 0);
                b.digits[i] = static_cast<std::int8_t>(i < lb ? (round % 3 ? rng() % 10 : 9) : 0);
            }
            a.negative = rng() % 2;
            b.negative = rng() % 2;
            ASSERT_EQ((a * b).asstring(), reference(a, b))
                << "seed " << seed << " width " << width << " round " << round;
        }
    QUORVEL::logstream.str({});
}
}  // namespace
