// The digit store and its life cycle, assignment from an integer and rendering.
#include "support.hpp"

#include <quorvel/quorvel.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace
{
using namespace testing_support;
using QUORVEL::fixedint;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::StrEq;
using testing::ThrowsMessage;
using digitvector = std::vector<std::int8_t>;

// A number of width `width` holding `value`.
fixedint make(std::uint64_t width, std::int64_t value)
{
    fixedint x(width);
    x = value;
    return x;
}

class Fixedint : public testing::Test
{
protected:
    void SetUp() override
    {
        QUORVEL::setup();  // start-up lines stay out of what the tests measure
        mark = logmark();
    }
    std::vector<std::string> logged() const { return messages(logsince(mark)); }
    std::size_t mark = 0;
};

TEST_F(Fixedint, SizeConstructionLogsAndHoldsZero)
{
    {
        const fixedint x(128);
        EXPECT_FALSE(x.negative);
        EXPECT_TRUE(x.issigned);
        EXPECT_FALSE(x.spareflag);
        EXPECT_EQ(x.size, 128u);
        EXPECT_EQ(x.digits, digitvector(128, 0));
        EXPECT_EQ(logged(), constructionmessages(128));
    }
    EXPECT_EQ(logged().back(), "Deleted fixedint object.");
}

TEST_F(Fixedint, WidthZeroIsEmpty)
{
    const fixedint x(0);
    EXPECT_EQ(logged(), constructionmessages(0));
    EXPECT_THAT(x.digits, IsEmpty());
    EXPECT_THAT(x.getshorteneddigits(), IsEmpty());
    EXPECT_EQ(x.asstring(), "");
}

TEST_F(Fixedint, CopiesAreSilentAndDeep)
{
    fixedint a = make(5, -12345);
    a.spareflag = true;
    fixedint target = make(3, 7);
    mark = logmark();
    {
        fixedint copy(a);
        target = a;
        EXPECT_THAT(logged(), IsEmpty());
        copy.digits[0] = 9;
        EXPECT_EQ(a.digits[0], 5);
        EXPECT_TRUE(copy.negative && copy.spareflag && copy.issigned);
    }
    EXPECT_EQ(logged(), std::vector<std::string>{"Deleted fixedint object."});
    EXPECT_EQ(target.size, 5u);
    EXPECT_EQ(target.digits, a.digits);
    EXPECT_EQ(target.asstring(), "-12345");
    const fixedint& same = target;
    target = same;  // self-assignment leaves it unchanged
    EXPECT_EQ(target.asstring(), "-12345");
}

TEST_F(Fixedint, GetcopyLogsLikeASizeConstruction)
{
    fixedint a = make(128, -42);
    a.spareflag = true;
    mark = logmark();
    const fixedint c = a.getcopy();
    EXPECT_EQ(logged(), constructionmessages(128));
    EXPECT_TRUE(c.negative && c.spareflag && c.issigned);
    EXPECT_EQ(c.size, a.size);
    EXPECT_EQ(c.digits, a.digits);
}

TEST_F(Fixedint, ResizeGrowsAndWrapsKeepingTheSign)
{
    fixedint x = make(3, 123);
    mark = logmark();
    x.resize(5);
    EXPECT_EQ(logged(), (std::vector<std::string>{"Resize requested in fixedint.",
                                                  "Resizing Digits to: 5", "Done."}));
    EXPECT_THAT(x.digits, ElementsAre(3, 2, 1, 0, 0));
    x = -123;
    x.resize(2);
    EXPECT_EQ(x.asstring(), "-23");
    x = -20;
    x.resize(1);
    EXPECT_EQ(x.asstring(), "-0");
    x.resize(1);
    EXPECT_EQ(x.size, 1u);
}

TEST_F(Fixedint, FailedResizeKeepsWidthAndDigits)
{
    SKIP_WITHOUT_BAD_ALLOC();
    fixedint x = make(4, -321);
    const std::vector<std::string> lines{"Resize requested in fixedint.", "Resizing Digits to: "};
    for (std::uint64_t width : {std::numeric_limits<std::uint64_t>::max(), std::uint64_t{1} << 62})
    {
        mark = logmark();
        if (width > x.digits.max_size())  // every platform fails as the vector does
            EXPECT_THROW(x.resize(width), std::length_error);
        else
            EXPECT_THROW(x.resize(width), std::bad_alloc);
        EXPECT_EQ(logged(), (std::vector<std::string>{lines[0], lines[1] + std::to_string(width)}));
        EXPECT_EQ(x.size, 4u);
        EXPECT_EQ(x.digits.size(), 4u);
        EXPECT_EQ(x.asstring(), "-321");
    }
}

TEST_F(Fixedint, FailedConstructionLogsNoDone)
{
    SKIP_WITHOUT_BAD_ALLOC();
    if (sizeof(std::size_t) >= 8)
        EXPECT_THROW(fixedint(std::uint64_t{1} << 62), std::bad_alloc);
    else  // beyond a 32-bit vector's maximum length
        EXPECT_THROW(fixedint(std::uint64_t{1} << 62), std::length_error);
    EXPECT_EQ(logged(), (std::vector<std::string>{"New fixedint object!",
                                                  "Resizing Digits to: 4611686018427387904"}));
}

TEST_F(Fixedint, WholeshiftrDropsTheUnitsDigit)
{
    fixedint x = make(4, 1234);
    x.wholeshiftr();
    EXPECT_THAT(x.digits, ElementsAre(3, 2, 1, 0));
    x = -15;
    x.wholeshiftr();
    EXPECT_EQ(x.asstring(), "-1");
    x.wholeshiftr();
    EXPECT_EQ(x.asstring(), "-0");
    fixedint one = make(1, 7);
    one.wholeshiftr();
    EXPECT_EQ(one.asstring(), "0");
    fixedint empty(0);
    empty.wholeshiftr();  // nothing to shift
    EXPECT_THAT(empty.digits, IsEmpty());
    EXPECT_THAT(logged(), testing::Not(testing::Contains("Resize requested in fixedint.")));
}

TEST_F(Fixedint, ShortenedDigitsDropOnlyLeadingZeros)
{
    const fixedint x = make(6, 120);
    EXPECT_THAT(x.getshorteneddigits(), ElementsAre(0, 2, 1));
    EXPECT_THAT(make(6, 100000).getshorteneddigits(), ElementsAre(0, 0, 0, 0, 0, 1));
    EXPECT_THAT(make(6, 0).getshorteneddigits(), IsEmpty());
    EXPECT_EQ(x.digits.size(), 6u);
}

TEST_F(Fixedint, AssignmentChecksTheWidthWithoutTheSign)
{
    fixedint x(3);
    x = 999;
    EXPECT_THAT(x.digits, ElementsAre(9, 9, 9));
    x = -999;
    EXPECT_TRUE(x.negative);
    for (std::int64_t v : {1000, -1000})
    {
        EXPECT_THAT([&] { x = v; },
                    ThrowsMessage<std::out_of_range>(StrEq("Input int bigger than size!")));
        EXPECT_EQ(x.asstring(), "-999");
    }
    fixedint zero(0);
    EXPECT_THROW(zero = 0, std::out_of_range);
    fixedint nineteen(19), eighteen(18);
    for (std::int64_t v : {INT64_MIN, INT64_MAX})
    {
        nineteen = v;
        EXPECT_EQ(nineteen.asstring(), std::to_string(v));
        EXPECT_THROW(eighteen = v, std::out_of_range);
    }
    EXPECT_EQ(nineteen.digits[18], 9);
    EXPECT_THAT(logged(), testing::Not(testing::Contains("Resize requested in fixedint.")));
}

TEST_F(Fixedint, AssignmentClearsOldDigitsAndFollowsIssigned)
{
    fixedint x = make(128, -123);
    x = 7;
    EXPECT_FALSE(x.negative);
    EXPECT_EQ(x.getshorteneddigits(), digitvector{7});
    x = 42;
    EXPECT_EQ(x.digits[0], 2);
    EXPECT_EQ(x.digits[1], 4);
    x.issigned = false;
    x = -7;
    EXPECT_FALSE(x.negative);
    x.negative = true;
    x = 5;
    EXPECT_EQ(x.asstring(), "-5");
}

TEST_F(Fixedint, RenderingShowsTheSignFlagAlone)
{
    EXPECT_EQ(make(128, 42).asstring(), "42");
    EXPECT_EQ(make(128, -42).asstring(), "-42");
    fixedint z(4);
    EXPECT_EQ(z.asstring(), "0");
    z.negative = true;
    EXPECT_EQ(z.asstring(), "-0");
    fixedint empty(0);
    empty.negative = true;
    EXPECT_EQ(empty.asstring(), "-");
    EXPECT_EQ(make(5, -10000).asstring(), "-10000");
}

TEST_F(Fixedint, RoundTripsEverySixtyFourBitInteger)
{
    std::mt19937_64 rng(12345);
    fixedint x(19);
    for (int i = 0; i < 20000; ++i)
    {
        const std::int64_t v = static_cast<std::int64_t>(rng() >> (rng() % 64));
        for (std::int64_t w : {v, -v})
        {
            x = w;
            ASSERT_EQ(x.asstring(), std::to_string(w));
        }
    }
}

// Fields a caller left inconsistent are never read or written outside the store.
TEST_F(Fixedint, InconsistentFieldsStayInsideTheStore)
{
    fixedint x = make(4, 1234);
    x.digits.resize(2);  // store shorter than the width
    EXPECT_EQ(x.asstring(), "34");
    x.wholeshiftr();
    EXPECT_THAT(x.digits, ElementsAre(3, 0));
    x = 99;  // rebuilds the store to the width
    EXPECT_EQ(x.digits.size(), 4u);
    x.digits.push_back(5);  // store longer than the width
    EXPECT_EQ(x.asstring(), "99");
    x.resize(3);
    EXPECT_EQ(x.digits.size(), 3u);
    x.digits = {12, -3, 0};  // digits outside 0 to 9: each digit's own text
    EXPECT_EQ(x.asstring(), "-312");
    fixedint copy = x.getcopy();
    EXPECT_EQ(copy.digits, x.digits);
}
}  // namespace
