// Sum, difference, product, quotient, remainder, negation, powers and comparison against the
// oracle (the reference arithmetic with the rules spelled out), over random operands of every
// class, at the widths where the kernels change method; and what they log and throw.
#include "../fuzz/oracle.hpp"
#include "kernel/tuning.hpp"
#include "support.hpp"

#include <quorvel/quorvel.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <unordered_set>
#include <utility>

namespace
{
using namespace testing_support;
using QUORVEL::fixedint;
using testing::StrEq;
using testing::ThrowsMessage;

// An operand of one of the classes that find faults: random digits up to a random length, all
// nines (10^k - 1), a power of ten, a single digit, zero; with a random sign flag.
fixedint operand(std::mt19937_64& rng, std::uint64_t width)
{
    fixedint x(width);
    const auto k = static_cast<std::size_t>(width == 0 ? 0 : rng() % (width + 1));
    switch (rng() % 6)
    {
        case 0:
        case 1:
            for (std::size_t i = 0; i < k; ++i) x.digits[i] = static_cast<std::int8_t>(rng() % 10);
            break;
        case 2:
            for (std::size_t i = 0; i < k; ++i) x.digits[i] = 9;
            break;
        case 3:
            if (k < width)
                x.digits[k] = 1;
            break;
        case 4:
            if (width > 0)
                x.digits[0] = static_cast<std::int8_t>(rng() % 10);
            break;
        default:
            break;
    }
    x.negative = rng() % 2 == 0;
    return x;
}

// Every operation, and its compound form where there is one, on pairs of random operands, at
// widths around every edge of the digit words (8), the limbs (18), the 64-bit range (19, 20), the
// blocked division and the product's split.
TEST(ArithmeticRandom, MatchesTheOracle)
{
    using QUORVEL::detail::tuning::blockfrom;
    using QUORVEL::detail::tuning::shortfrom;
    const unsigned seed = testseed();
    std::mt19937_64 rng(seed);
    const std::uint64_t widths[] = {0,
                                    1,
                                    2,
                                    7,
                                    8,
                                    9,
                                    17,
                                    18,
                                    19,
                                    20,
                                    36,
                                    40,
                                    100,
                                    431,
                                    432,
                                    433,
                                    450,
                                    600,
                                    800,
                                    18 * blockfrom - 1,
                                    18 * blockfrom,
                                    18 * blockfrom + 1,
                                    18 * shortfrom - 1,
                                    18 * shortfrom + 1};
    for (const std::uint64_t w : widths)
        for (int round = 0; round < (w < 500 ? 40 : 6); ++round)
        {
            fixedint a = operand(rng, w), b = operand(rng, w);
            a.issigned = rng() % 4 != 0;
            const std::string at = "seed " + std::to_string(seed) + " width " + std::to_string(w) +
                                   " a " + a.asstring() + " b " + b.asstring() +
                                   (a.issigned ? "" : " unsigned");
            fixedint c = a;
            ASSERT_EQ((a + b).asstring(), oracle::sum(a, b)) << at;
            ASSERT_EQ((c += b).asstring(), oracle::sum(a, b)) << at;
            c = a;
            ASSERT_EQ((a - b).asstring(), oracle::difference(a, b)) << at;
            ASSERT_EQ((c -= b).asstring(), oracle::difference(a, b)) << at;
            c = a;
            ASSERT_EQ((c *= b).asstring(), w == 0 ? "" : oracle::product(a, b)) << at;
            ASSERT_EQ((-a).asstring(), oracle::negation(a)) << at;
            const std::uint64_t e = rng() % 3 == 0 ? rng() : rng() % 20;
            ASSERT_EQ(QUORVEL::pow(a, e).asstring(), oracle::power(a, e)) << at << " e " << e;
            ASSERT_EQ(a.compare(b), oracle::comparison(a, b)) << at;
            if (a == b)
            {
                ASSERT_EQ(a.hash(), b.hash()) << at;
            }
            if (w == 0 || oracle::valueof(b).magnitude.empty())
                continue;
            c = a;
            ASSERT_EQ((a / b).asstring(), oracle::division(a, b, false)) << at;
            ASSERT_EQ((c /= b).asstring(), oracle::division(a, b, false)) << at;
            c = a;
            ASSERT_EQ((a % b).asstring(), oracle::division(a, b, true)) << at;
            ASSERT_EQ((c %= b).asstring(), oracle::division(a, b, true)) << at;
            const auto both = QUORVEL::divmod(a, b);
            ASSERT_EQ(both.first.asstring(), oracle::division(a, b, false)) << at;
            ASSERT_EQ(both.second.asstring(), oracle::division(a, b, true)) << at;
        }
    QUORVEL::logstream.str("");
}

// Sums whose carries run the whole width, across the eight-digit words and the sixteen-digit
// blocks of the vector path, and a digit outside 0 to 9 at every place, which the sum reads modulo
// 10 whether it is found in the pass that adds (+ and += alike).
TEST(ArithmeticCrafted, SumsCarryAcrossEveryWordAndReadBadDigitsModuloTen)
{
    for (const std::size_t w :
         {1u, 7u, 8u, 15u, 16u, 17u, 24u, 31u, 32u, 33u, 40u, 144u, 145u, 300u})
    {
        fixedint nines(w), one(w), nineteen(w);
        std::fill(nines.digits.begin(), nines.digits.end(), std::int8_t{9});
        one = 1;
        EXPECT_EQ((nines + one).asstring(), "0") << w;
        fixedint x = nines;
        EXPECT_EQ((x += nines).asstring(), std::string(w - 1, '9') + "8") << w;
        for (std::size_t at = 0; at < w; ++at)
        {
            fixedint bad = one;
            bad.digits[at] = static_cast<std::int8_t>(at % 2 == 0 ? 13 : -7);  // read as 3
            std::string want(w, '0');
            want[w - 1 - at] = '3';
            want[w - 1] = at == 0 ? '4' : '2';  // 3 + 1, or 3 10^at + 1 + 1
            while (want.size() > 1 && want[0] == '0') want.erase(0, 1);
            EXPECT_EQ((bad + one).asstring(), want) << w << " at " << at;
            x = one;
            EXPECT_EQ((x += bad).asstring(), want) << w << " at " << at;
        }
    }
    QUORVEL::logstream.str("");
}

// The blocked division estimates a block's quotient from the window's top limbs and a reciprocal
// of the divisor's top t limbs (t = the block's length + 2): one too large, it is put right by
// adding the divisor back. That takes a divisor V = Vt B^s + (B^s - 1) (B = 10^18, Vt its top t
// limbs, with 5 10^17 on top) and a = Q V - 1 (quotient Q - 1, remainder V - 1), where
// Q Vt = -(Q - 1) modulo B^(t - 1): then the top limbs of a carry a whole unit more of Q than the
// divisor's top limbs account for. The blocks are 24 limbs long for a divisor of 35 limbs and 32
// for one of 60 (the length rule of the blocked division).
TEST(ArithmeticCrafted, DivisionsThatAddBack)
{
    std::mt19937_64 rng(testseed());
    for (const auto& [lv, t] : {std::pair<std::size_t, std::size_t>{35, 26}, {60, 34}})
        for (int round = 0; round < 3; ++round)
        {
            const std::size_t s = lv - t, w = 18 * lv + 100;
            fixedint q(w), power(w), top(w), low(w);
            for (std::size_t i = 0; i < 90; ++i) q.digits[i] = static_cast<std::int8_t>(rng() % 10);
            q.digits[0] = 7;  // prime to 10, so that it has an inverse modulo B^(t - 1)
            q.digits[89] = 1;
            power.digits[18 * (t - 1)] = 1;
            fixedint vt = (QUORVEL::invert(q, power) + power - 1) % power;
            vt.digits[18 * (t - 1) + 17] = 5;
            low.digits[18 * s] = 1;
            fixedint v = vt;
            v.shiftleft(18 * s);
            v += low - 1;
            const fixedint a = q * v - 1;
            const std::string at = std::to_string(lv) + " limbs, q " + q.asstring();
            EXPECT_EQ(a / v, q - 1) << at;
            EXPECT_EQ(a % v, v - 1) << at;
        }
    QUORVEL::logstream.str("");
}

// Long divisors take Newton's reciprocal (from a multiple of each backend's transform threshold);
// there the result is checked by the identity a = q * b + r with 0 <= r < b, through the product
// and the sum, which share no code with it. Quotients of a random length, and of lengths that make
// the first chunk of the quotient one limb short of a whole one, or just below and above the
// length from which that chunk is a whole one padded with zeros.
TEST(ArithmeticRandom, LongDivisionsMeetTheirIdentity)
{
    using namespace QUORVEL::detail::tuning;
    std::vector<std::uint64_t> divisors;
    for (std::size_t from : {newtonfrom(transformfromifma), newtonfrom(transformfromscalar)})
        divisors.insert(divisors.end(), {18 * from - 18, 18 * from, 18 * from + 18});
    std::mt19937_64 rng(testseed());
    for (const std::string& backend : transformbackends())
        for (std::uint64_t divisor : divisors)
        {
            const std::uint64_t limbs = divisor / 18 + 1;  // the divisor's limbs
            for (std::uint64_t w :
                 {divisor + 1 + rng() % 20000, divisor + 18 * (limbs - 1),
                  divisor + 18 * (shortfirstchunk(static_cast<std::size_t>(limbs)) - 1),
                  divisor + 18 * shortfirstchunk(static_cast<std::size_t>(limbs))})
            {
                const usebackend path(backend);
                fixedint a(w), b(w);
                for (std::size_t i = 0; i < w; ++i)
                    a.digits[i] = static_cast<std::int8_t>(rng() % 10);
                for (std::size_t i = 0; i < divisor; ++i)
                    b.digits[i] =
                        static_cast<std::int8_t>(i + 1 == divisor ? 1 + rng() % 9 : rng() % 10);
                const fixedint q = a / b, r = a % b;
                EXPECT_TRUE(r >= 0 && r < b)
                    << "width " << w << " divisor " << divisor << " " << backend;
                EXPECT_EQ(q * b + r, a)
                    << "width " << w << " divisor " << divisor << " " << backend;
            }
        }
    QUORVEL::logstream.str("");
}

// The model, in cases checked by hand: wrap-around, ten's complement, truncation toward zero.
TEST(ArithmeticModel, Examples)
{
    auto n = [](std::uint64_t w, const char* text, bool issigned = true)
    {
        fixedint x(w, text);
        x.issigned = issigned;
        return x;
    };
    EXPECT_EQ((n(3, "5", false) - n(3, "7")).asstring(), "998");
    EXPECT_EQ((n(3, "999") + n(3, "1")).asstring(), "0");   // wraps to exactly 10^3
    EXPECT_EQ((n(3, "-999") - n(3, "1")).asstring(), "0");  // not "-0"
    EXPECT_EQ((n(3, "-7") / n(3, "2")).asstring(), "-3");
    EXPECT_EQ((n(3, "-7") % n(3, "2")).asstring(), "-1");
    EXPECT_EQ((n(3, "7") % n(3, "-2")).asstring(), "1");
    EXPECT_EQ((n(3, "-0") + n(3, "-0")).asstring(), "0");
    EXPECT_EQ((-n(3, "1", false)).asstring(), "999");
    EXPECT_EQ(QUORVEL::pow(n(3, "-2"), 3).asstring(), "-8");
    EXPECT_EQ(QUORVEL::pow(n(3, "-0"), 0).asstring(), "1");
    EXPECT_EQ(QUORVEL::pow(fixedint(0), 0).asstring(), "");  // width 0: the width-0 zero
    EXPECT_TRUE(n(3, "-0") == n(5, "0") && n(2, "-1") < n(9, "0") && n(9, "12") > 11);
    EXPECT_EQ(n(19, "-9223372036854775808").asint64(), INT64_MIN);
    EXPECT_THROW((void)n(19, "9223372036854775808").asint64(), std::out_of_range);
    fixedint x = n(20, "123456789");
    EXPECT_EQ((x -= x).asstring(), "0");
    x = std::int64_t{-42};
    EXPECT_EQ((x /= x).asstring(), "1");
    x = 18446744073709551615ULL;
    EXPECT_EQ(x.asstring(), "18446744073709551615");
}

// What the operations log (results only) and throw (before anything is made).
TEST(ArithmeticModel, LogsResultsOnlyAndThrowsFirst)
{
    fixedint a(4, 1234), b(4, 0), c(5, 1);
    const std::size_t mark = logmark();
    {
        const fixedint s = a + a;
        a += a;
        a *= a;
        a /= fixedint(4, 7);  // the divisor's own life is logged, the division's nothing
        (void)(a == c);
        (void)a.hash();
        (void)QUORVEL::pow(a, 12345);
    }
    const std::vector<std::string> result = constructionmessages(4);
    std::vector<std::string> want = concat(concat(result, result), {"Deleted fixedint object."});
    want = concat(concat(want, result), {"Deleted fixedint object."});
    want.push_back("Deleted fixedint object.");
    EXPECT_EQ(messages(logsince(mark)), want);
    const std::size_t before = logmark();
    const fixedint saved = a;
    EXPECT_THAT([&] { (void)(a + c); },
                ThrowsMessage<std::length_error>(StrEq("Int sizes are not equal!")));
    EXPECT_THAT([&] { a %= b; },
                ThrowsMessage<std::domain_error>(StrEq("fixedint: division by zero")));
    EXPECT_THROW((void)(a / b), std::domain_error);
    EXPECT_EQ(logmark(), before);
    EXPECT_EQ(a, saved);
}

// Moves are silent, leave the zero of width 0 behind, and let containers grow without copies.
TEST(ArithmeticModel, MovesAreSilentAndLeaveAnEmptyZero)
{
    std::vector<fixedint> numbers;
    numbers.emplace_back(40, 7);
    const std::int8_t* store = numbers[0].digits.data();
    const std::size_t mark = logmark();
    for (int i = 0; i < 8; ++i) numbers.emplace_back(40, i);  // grows, moving the first
    EXPECT_EQ(numbers[0].digits.data(), store);
    fixedint moved = std::move(numbers[0]);
    EXPECT_EQ(numbers[0].size, 0u);
    EXPECT_EQ(numbers[0].asstring(), "");
    EXPECT_TRUE(numbers[0].issigned && !numbers[0].negative);
    EXPECT_EQ(moved.asstring(), "7");
    // The eight new numbers' constructions, and the deletions of the numbers moved from as the
    // vector grew (1 + 2 + 4 + 8): nothing is copied.
    const std::vector<std::string> added = messages(logsince(mark));
    EXPECT_EQ(std::count(added.begin(), added.end(), "New fixedint object!"), 8);
    EXPECT_EQ(std::count(added.begin(), added.end(), "Deleted fixedint object."), 15);
}
}  // namespace
