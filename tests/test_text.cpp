// Numbers from decimal text and integers of every type, streams, hashing, and the text of a
// fixed-point number.
#include "support.hpp"

#include <quorvel/quorvel.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <iomanip>
#include <sstream>
#include <unordered_set>

namespace
{
using namespace testing_support;
using QUORVEL::fixedint;
using testing::StrEq;
using testing::ThrowsMessage;

struct parsecase
{
    std::uint64_t width;
    const char* text;
    const char* rendered;  // nullptr: std::invalid_argument; "": std::out_of_range
};

const parsecase parsecases[] = {
    {3, "999", "999"},
    {3, "-999", "-999"},
    {3, "+12", "12"},
    {3, "000000123", "123"},  // leading zeros do not count
    {3, "-0", "-0"},          // the "-0" state, so asstring text reads back
    {3, "000", "0"},
    {1, "0", "0"},
    {40, "1234567890123456789012345678901234567890", "1234567890123456789012345678901234567890"},
    {3, "1000", ""},
    {0, "0", ""},  // a zero counts one digit
    {3, "", nullptr},
    {3, "-", nullptr},
    {3, "+-1", nullptr},
    {3, " 1", nullptr},
    {3, "1 ", nullptr},
    {3, "12a", nullptr},
    {3, "0x1", nullptr},
    {3, "١٢", nullptr},  // digits of another script are not decimal digits here
};

void PrintTo(const parsecase& c, std::ostream* os)
{
    *os << '"' << c.text << "\" at width " << c.width;
}

class ParseText : public testing::TestWithParam<parsecase>
{
};

TEST_P(ParseText, ReadsOrRejectsLeavingTheNumberAlone)
{
    const parsecase& c = GetParam();
    fixedint x(c.width);
    if (c.width > 0)
        x = -7;
    const fixedint before = x;
    const std::size_t mark = logmark();
    if (c.rendered == nullptr)
        EXPECT_THROW(x = c.text, std::invalid_argument);
    else if (*c.rendered == '\0')
        EXPECT_THAT([&] { x = c.text; },
                    ThrowsMessage<std::out_of_range>(StrEq("Input int bigger than size!")));
    else
    {
        x = c.text;
        EXPECT_EQ(x.asstring(), c.rendered);
        EXPECT_EQ(fixedint(c.width, x.asstring()).asstring(), c.rendered);  // round trip
    }
    if (c.rendered == nullptr || *c.rendered == '\0')
    {
        EXPECT_EQ(x.asstring(), before.asstring());
        EXPECT_EQ(x.negative, before.negative);
    }
    EXPECT_EQ(messages(logsince(mark)).size(),
              c.rendered != nullptr && *c.rendered != '\0' ? 4u : 0u)
        << "only the round trip's number logs";
}

INSTANTIATE_TEST_SUITE_P(Table, ParseText, testing::ValuesIn(parsecases));

// The text is checked eight characters at a time: every byte that is not a digit, the neighbours
// of '0' and '9' ('/' and ':') among them, is refused at every place of a whole block and of the
// rest after it, by assignment and by fromchars alike.
TEST(ParseText, RefusesEveryOtherByteAtEveryPlace)
{
    fixedint x(20);
    const std::string digits = "1234567812345678123";
    for (int byte = 1; byte < 256; ++byte)
    {
        if (byte >= '0' && byte <= '9')
            continue;
        for (std::size_t at = 0; at < digits.size(); ++at)
        {
            std::string text = digits;
            text[at] = static_cast<char>(byte);
            if (at == 0 && (byte == '-' || byte == '+'))
                continue;  // a sign
            EXPECT_THROW(x = text, std::invalid_argument) << "byte " << byte << " at " << at;
            const auto r = QUORVEL::fromchars(text.data(), text.data() + text.size(), x);
            EXPECT_TRUE(r.ec != std::errc{} || r.ptr != text.data() + text.size())
                << "byte " << byte << " at " << at;
        }
    }
}

TEST(ParseText, FollowsIssignedAndTakesEveryIntegerType)
{
    fixedint x(20, "-5");
    x.issigned = false;
    x = "17";
    EXPECT_EQ(x.asstring(), "-17");  // the magnitude only, as the integer assignment does
    fixedint y(20, 0);
    EXPECT_EQ(y.asstring(), "0");
    y = 18446744073709551615ULL;
    EXPECT_EQ(y.asstring(), "18446744073709551615");
    y = static_cast<signed char>(-128);
    EXPECT_EQ(y.asstring(), "-128");
    y = LLONG_MIN;
    EXPECT_EQ(y.asint64(), LLONG_MIN);
    y = static_cast<unsigned short>(65535);
    EXPECT_EQ(y.asint64(), 65535);
    EXPECT_THROW(fixedint(2, 100u), std::out_of_range);
    static_assert(!std::is_assignable<fixedint&, bool>::value, "a bool is not a number");
    static_assert(!std::is_constructible<fixedint, std::uint64_t, bool>::value, "nor here");
}

TEST(Streams, WriteWithWidthFillAndAlignment)
{
    std::ostringstream out;
    const fixedint x(10, -42);
    out << x << '|' << std::setw(6) << x << '|' << std::left << std::setw(6) << x << '|'
        << std::internal << std::setfill('0') << std::setw(6) << x << '|' << x;
    EXPECT_EQ(out.str(), "-42|   -42|-42   |-00042|-42");
}

TEST(Streams, ReadOneNumberOrFail)
{
    std::istringstream in("  -123 +45x 99999999999 abc 7.5 8;");
    fixedint x(10), y(10), z(10);
    in >> x >> y;  // digits that run into a letter are not a number
    EXPECT_EQ(x.asstring(), "-123");
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(y.asstring(), "0");
    in.clear();
    EXPECT_EQ(in.get(), 'x');
    z = 5;
    in >> z;  // eleven digits at width 10
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(z.asstring(), "5");
    in.clear();
    in >> z;  // not a number
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(z.asstring(), "5");
    in.clear();
    in.ignore(4);
    in >> z;  // nor is a fraction
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(z.asstring(), "5");
    in.clear();
    in.ignore(2);
    in >> z;  // punctuation ends a number
    EXPECT_EQ(z.asstring(), "8");
    EXPECT_EQ(in.get(), ';');
}

TEST(Hash, EqualValuesHashAlikeAcrossWidths)
{
    std::unordered_set<fixedint> seen;
    seen.insert(fixedint(5, 120));
    seen.insert(fixedint(50, "-0"));
    EXPECT_EQ(seen.count(fixedint(30, "00120")), 1u);
    EXPECT_EQ(seen.count(fixedint(3, 0)), 1u);
    EXPECT_EQ(seen.count(fixedint(5, -120)), 0u);
    fixedint loose(4, 3);
    loose.digits[1] = 10;  // read modulo 10: the value 3
    EXPECT_EQ(loose.hash(), fixedint(9, 3).hash());
    EXPECT_EQ(loose, 3);
}

TEST(FixedfloatText, ShowsThePointAndEveryFractionDigit)
{
    const struct
    {
        std::uint64_t width;
        const char* number;
        std::uint64_t pointpos;
        const char* text;
    } cases[] = {{24, "-1999", 4, "-19.99"}, {24, "5", 4, "0.05"}, {4, "-45", 4, "-0.45"},
                 {24, "1900", 5, "19.00"},   {3, "7", 0, "7"},     {3, "-0", 2, "-0.0"},
                 {2, "99", 8, "0.0099"},     {0, "", 2, "0.0"}};
    for (const auto& c : cases)
    {
        QUORVEL::fixedfloat f{fixedint(c.width), c.pointpos};
        if (c.width > 0)
            f.number = c.number;
        EXPECT_EQ(f.asstring(), c.text) << c.number << " " << c.pointpos;
    }
    QUORVEL::fixedfloat huge{fixedint(1), ~std::uint64_t{0}};
    EXPECT_THROW((void)huge.asstring(), std::length_error);
}
}  // namespace
