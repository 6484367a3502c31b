// What the differential oracle (integer_oracle.py) does not see: the log lines of the integer
// operands, number theory and conversions, their exceptions' messages, and their reading of stores
// a caller left inconsistent.
#include "support.hpp"

#include <quorvel/quorvel.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace
{
using namespace testing_support;
using QUORVEL::fixedint;

class Toolkit : public testing::Test
{
protected:
    void SetUp() override
    {
        QUORVEL::setup();
        mark = logmark();
    }
    std::vector<std::string> logged() { return messages(logsince(std::exchange(mark, logmark()))); }
    std::size_t mark = 0;
};

const std::vector<std::string> made{"New fixedint object!", "Resizing Digits to: 20", "Done."};

TEST_F(Toolkit, ResultsLogTheirConstructionAndInPlaceOperationsNothing)
{
    fixedint x(20, 84), m(20, 97), e(20, 5);
    logged();
    const std::vector<std::function<fixedint()>> results = {
        [&] { return x + 1; },           [&] { return 7 - x; },
        [&] { return x * -3; },          [&] { return 1000 / x; },
        [&] { return x % 5; },           [&] { return abs(x); },
        [&] { return x.residue(); },     [&] { return gcd(x, m); },
        [&] { return lcm(x, m); },       [&] { return isqrt(x); },
        [&] { return iroot(x, 3); },     [&] { return powmod(x, 9, m); },
        [&] { return powmod(x, e, m); }, [&] { return invert(m); },
        [&] { return invert(x, m); }};
    for (std::size_t i = 0; i < results.size(); ++i)
    {
        SCOPED_TRACE(i);
        results[i]();
        EXPECT_THAT(logged(),
                    testing::ElementsAre(made[0], made[1], made[2], "Deleted fixedint object."));
    }
    x += 5;
    x -= -5;
    x *= 2;
    x /= 3;
    x %= 1000;
    ++x;
    --x;
    x.shiftleft(2).shiftright(1);
    (void)x.iszero();
    (void)x.digitcount();
    (void)x.asdouble();
    EXPECT_EQ(x.asstring(), "620");
    x = 1e15;
    EXPECT_THAT(logged(), testing::IsEmpty());
    x++;  // a silent copy of the number as it was, deleted
    EXPECT_THAT(logged(), testing::ElementsAre("Deleted fixedint object."));
}

TEST_F(Toolkit, FailuresThrowBeforeAnythingIsLoggedAndChangeNothing)
{
    fixedint x(20, -84), zero(20), other(19, 3);
    logged();
    const auto message = [](const std::function<void()>& f)
    {
        try
        {
            f();
        }
        catch (const std::exception& e)
        {
            return std::string(e.what());
        }
        return std::string("no exception");
    };
    EXPECT_EQ(message([&] { x / 0; }), "fixedint: division by zero");
    EXPECT_EQ(message([&] { 5 % zero; }), "fixedint: division by zero");
    EXPECT_EQ(message([&] { x /= 0; }), "fixedint: division by zero");
    EXPECT_EQ(message([&] { isqrt(x); }), "fixedint: no integer root of a negative number");
    EXPECT_EQ(message([&] { iroot(zero, 0); }), "fixedint: no 0th root");
    EXPECT_EQ(message([&] { powmod(x, 2, zero); }), "fixedint: the modulus must be positive");
    EXPECT_EQ(message([&] { powmod(x, x, -x); }), "fixedint: the exponent must not be negative");
    EXPECT_EQ(message([&] { invert(x); }),
              "fixedint: no inverse modulo 10^width: the number is even or a multiple of 5");
    EXPECT_EQ(message([&] { invert(x, fixedint(20, 6)); }),
              "fixedint: no inverse: the number and the modulus have a common factor");
    EXPECT_EQ(message([&] { gcd(x, other); }), "Int sizes are not equal!");
    EXPECT_EQ(message([&] { x = 2.5; }), "fixedint: 2.5 is not an integer");
    EXPECT_EQ(message([&] { x = 1e300; }), "Input int bigger than size!");
    EXPECT_EQ(message([&] { (void)x.asuint64(); }),
              "fixedint: value does not fit in std::uint64_t");
    EXPECT_EQ(x.asstring(), "-84");
    // Only the temporaries made for the operands above were logged, never a result.
    for (const std::string& line : logged())
        EXPECT_THAT(line, testing::AnyOf(made[0], "Resizing Digits to: 20", made[2],
                                         "Deleted fixedint object."));
}

TEST_F(Toolkit, InconsistentStoresAreReadAsTheArithmeticReadsThem)
{
    fixedint x(6, 1234);
    x.digits.resize(3);  // positions past the store read as zero: 234
    x.digits[2] = 13;    // digits read modulo 10: 334
    EXPECT_EQ(x.digitcount(), 3u);
    EXPECT_FALSE(x.iszero());
    char text[8];
    const std::to_chars_result r = QUORVEL::tochars(text, text + sizeof text, x);
    EXPECT_EQ(std::string(text, r.ptr), "334");
    EXPECT_EQ((x + 1).asstring(), "335");
    const char in[] = "-0070";
    EXPECT_EQ(QUORVEL::fromchars(in, in + 5, x).ptr, in + 5);
    EXPECT_EQ(x.digits.size(), 6u);  // the store rebuilt to the width
    EXPECT_EQ(x.asstring(), "-70");
}

TEST_F(Toolkit, FixedfloatTakesAndComparesEveryIntegerType)
{
#if defined(QUORVEL_HAS_INT128)
    const QUORVEL::int128 big = -(static_cast<QUORVEL::int128>(1) << 100);
    const QUORVEL::fixedfloat f(40, 2, big);
    EXPECT_EQ(f.asstring(), "-1267650600228229401496703205376.00");
    EXPECT_EQ(f.compare(big), 0);
    EXPECT_EQ(fixedint(40, big).asint128(), big);
    EXPECT_TRUE(fixedint(40, big) < big + 1);
#else
    GTEST_SKIP() << "no 128-bit integers on this compiler";
#endif
}
}  // namespace
