// The fixed-point type: its integer part and the assignment of it to a fixedint.
#include "support.hpp"

#include <quorvel/quorvel.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iomanip>
#include <limits>
#include <sstream>

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

// The fixed-point model: what the oracle (decimal_oracle.py) cannot see.
TEST(FixedPoint, MakingLogsItsNumberAndFailingLogsNothing)
{
    QUORVEL::setup();  // its start-up lines stay out of what is read below
    const std::size_t mark = logmark();
    {
        const fixedfloat price(12, 2, "19.99");
        EXPECT_EQ(messages(logsince(mark)), constructionmessages(12));
    }
    const std::size_t failed = logmark();
    EXPECT_THROW(fixedfloat(3, 2, "10"), std::overflow_error);
    EXPECT_THROW(fixedfloat(3, 2, "1.2.3"), std::invalid_argument);
    EXPECT_THROW(fixedfloat(3, 4, 1), std::invalid_argument);
    EXPECT_THROW(fixedfloat(8, 2, std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
    EXPECT_THROW(fixedfloat(8, 2, -std::numeric_limits<double>::infinity()), std::invalid_argument);
    EXPECT_TRUE(logsince(failed).empty());
    fixedfloat x(6, 2, "1.50");
    const fixedfloat y(6, 2, "2.25"), zero(6, 2), big(6, 0, 999999);
    const std::size_t compound = logmark();
    x += y;
    x *= y;
    x /= y;
    x -= y;
    EXPECT_THROW(x /= zero, std::domain_error);
    EXPECT_THROW(x *= big, std::overflow_error);
    EXPECT_EQ(x.asstring(), "1.50");  // unchanged by the throws
    EXPECT_TRUE(logsince(compound).empty());
    // Each result is made once, where it is wanted: its number's three lines, then its deletion.
    const std::size_t results = logmark();
    for (const fixedfloat& r :
         {x + y, x * y, -x, x / y, x.rescale(9, 3), QUORVEL::divide(x, y, 9, 4)})
        EXPECT_TRUE(r.number.issigned);
    std::vector<std::string> want;
    for (unsigned long long w : {7ull, 12ull, 6ull, 6ull, 9ull, 9ull})
        want = concat(want, constructionmessages(w));
    for (int i = 0; i < 6; ++i) want.push_back("Deleted fixedint object.");
    EXPECT_EQ(messages(logsince(results)), want);
}

TEST(FixedPoint, ResultsCarryTheModelsWidthScaleAndFlags)
{
    fixedfloat a(5, 2, "-1.25"), b(7, 4, "0.0625");
    a.number.spareflag = true;
    a.number.issigned = false;
    const fixedfloat sum = a + b, product = a * b, negated = -fixedfloat(4, 2, "0");
    EXPECT_TRUE(sum.width() == 8 && sum.scale() == 4);
    EXPECT_TRUE(product.width() == 12 && product.scale() == 6);
    EXPECT_EQ(sum.asstring(), "-1.1875");
    EXPECT_EQ(product.asstring(), "-0.078125");
    for (const fixedfloat* r : {&sum, &product, &negated})
        EXPECT_TRUE(r->number.issigned && !r->number.spareflag && r->pointpos == 2 * r->scale());
    EXPECT_EQ(negated.asstring(), "0.00");  // never "-0"
    EXPECT_EQ((fixedfloat(4, 2, "-0.01") + fixedfloat(4, 2, "0.01")).asstring(), "0.00");
}

TEST(FixedPoint, ComparesAndHashesByValue)
{
    const fixedfloat two(10, 1, "2.0"), twotoo(10, 2, "2.00"), half(10, 3, "2.5");
    EXPECT_TRUE(two == twotoo && two == fixedint(3, 2) && fixedint(3, 2) == twotoo && two == 2);
    EXPECT_TRUE(2 == two && two != half && two < half && half > 2 && -3 < two && two <= 2u);
    EXPECT_EQ(two.hash(), twotoo.hash());
    EXPECT_EQ(two.hash(), fixedint(3, 2).hash());
    EXPECT_EQ(std::hash<fixedfloat>()(half), fixedfloat(9, 5, "2.50000").hash());
    EXPECT_NE(half.hash(), fixedfloat(10, 3, "25").hash());
    EXPECT_EQ(fixedfloat(5, 2, "-0").compare(fixedfloat(5, 2, "0")), 0);
    fixedfloat minuszero{fixedint(4, "-0"), 4};  // "-0" equals 0, also in the old form
    EXPECT_TRUE(minuszero == 0 && minuszero.hash() == fixedfloat(4, 2).hash());
}

TEST(FixedPoint, StreamsWriteAndReadTheText)
{
    std::ostringstream out;
    const fixedfloat x(10, 2, "-19.9");
    out << std::setw(9) << x << '|' << std::left << std::setfill('*') << std::setw(8)
        << fixedfloat(6, 2, 1) << '|' << std::internal << std::showpos << std::setw(8)
        << fixedfloat(6, 1, 2) << '|';
    EXPECT_EQ(out.str(), "   -19.90|1.00****|+****2.0|");
    fixedfloat y(8, 2, "7");
    std::istringstream in("  12.345 -1e2 4.5x 1.2.3 99999999 .");
    EXPECT_TRUE(in >> y);
    EXPECT_EQ(y.asstring(), "12.34");  // half to even at its scale
    EXPECT_TRUE(in >> y);
    EXPECT_EQ(y.asstring(), "-100.00");
    for (int bad = 0; bad < 4; ++bad)  // a letter, a second point, too wide, no digits
    {
        std::string rest;
        EXPECT_FALSE(in >> y) << bad;
        EXPECT_EQ(y.asstring(), "-100.00") << bad;
        in.clear();
        in >> rest;  // past the bad text
    }
}

TEST(FixedPoint, TheOldFormKeepsItsMeaning)
{
    const fixedint cents(12, -1999);
    const fixedfloat price{cents, 5};  // pointpos 5: two digits after the point
    EXPECT_EQ(price.scale(), 2u);
    EXPECT_EQ(price.asstring(), "-19.99");
    EXPECT_EQ((price * fixedfloat(3, 0, 3)).asstring(), "-59.97");
    EXPECT_EQ(price.getintpart().asstring(), "-19");
}
