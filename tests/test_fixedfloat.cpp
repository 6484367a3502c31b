// The fixed-point type: its integer part and the assignment of it to a fixedint.
#include "support.hpp"

#include <quorvel/quorvel.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace
{
using namespace testing_support;
using QUORVEL::fixedfloat;
using QUORVEL::fixedint;

fixedfloat make(std::uint64_t width, std::int64_t value, std::uint64_t pointpos)
{
    fixedfloat f{fixedint(width), pointpos};
    f.number = value;
    return f;
}

struct intpart
{
    std::uint64_t width;
    std::int64_t value;
    std::uint64_t pointpos;
    const char* want;
};

void PrintTo(const intpart& p, std::ostream* os)
{
    *os << p.value << " at width " << p.width << ", pointpos " << p.pointpos;
}

const intpart intparts[] = {
    {6, 987, 4, "9"},
    {6, 987, 5, "9"},
    {6, -987, 4, "-9"},  // toward zero
    {4, -45, 4, "-0"},
    {6, 987, 0, "987"},
    {6, -987, 1, "-987"},
    {6, 987, 3, "98"},
    {6, 987654, 12, "0"},
    {6, -987654, 13, "-0"},
    {1, 7, 2, "0"},
    {19, INT64_MIN, 2, "-922337203685477580"},
    {6, 987654, std::numeric_limits<std::uint64_t>::max(), "0"},
};

class IntegerPart : public testing::TestWithParam<intpart>
{
};

TEST_P(IntegerPart, DropsTheFractionKeepingWidthAndFlags)
{
    const intpart& p = GetParam();
    fixedfloat f = make(p.width, p.value, p.pointpos);
    f.number.spareflag = true;
    const fixedint before = f.number;
    const std::size_t mark = logmark();
    const fixedint part = f.getintpart();
    EXPECT_EQ(messages(logsince(mark)), constructionmessages(p.width));
    EXPECT_EQ(part.asstring(), p.want);
    EXPECT_EQ(part.size, p.width);
    EXPECT_EQ(part.digits.size(), p.width);
    EXPECT_TRUE(part.spareflag && part.issigned);
    EXPECT_EQ(f.number.digits, before.digits);  // the fixedfloat is unchanged
    EXPECT_EQ(f.pointpos, p.pointpos);
}

INSTANTIATE_TEST_SUITE_P(Table, IntegerPart, testing::ValuesIn(intparts));

TEST(IntegerPart, WidthZeroGivesAWidthZeroCopy)
{
    const fixedfloat f{fixedint(0), 9};
    const fixedint part = f.getintpart();
    EXPECT_EQ(part.size, 0u);
    EXPECT_TRUE(part.digits.empty());
}

TEST(FixedfloatAssignment, TakesTheWidthAndLogsFourLines)
{
    const fixedfloat f = make(20, -123456789, 6);
    fixedint x(10);
    x = 5;
    const std::size_t mark = logmark();
    x = f;
    EXPECT_EQ(messages(logsince(mark)),
              concat(constructionmessages(20), {"Deleted fixedint object."}));
    EXPECT_EQ(x.size, 20u);
    EXPECT_EQ(x.digits.size(), 20u);
    EXPECT_EQ(x.asstring(), "-123456");  // three fraction digits dropped
    EXPECT_EQ(f.number.asstring(), "-123456789");
}

TEST(FixedfloatAssignment, ToItsOwnNumberIsSound)
{
    fixedfloat f = make(8, 98765432, 7);
    f.number = f;
    EXPECT_EQ(f.number.asstring(), "98765");
    EXPECT_EQ(f.number.size, 8u);
    EXPECT_EQ(f.pointpos, 7u);
}
}  // namespace
