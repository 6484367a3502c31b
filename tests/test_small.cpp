// The two- and four-word arithmetic of small operands, against a bit-by-bit reference: digit
// strings in and out of two words, 128 by 128 bit products and 256 by 128 bit division on operands
// chosen to reach each correction of the division's estimates.
#include "kernel/digits.hpp"
#include "kernel/limb.hpp"
#include "kernel/limbdigits.hpp"
#include "kernel/small.hpp"
#include "kernel/transform/backend.hpp"
#include "number/stores.hpp"
#include "support.hpp"

#include <quorvel/fixedint.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace
{
using namespace QUORVEL::detail;
using testing_support::testseed;

// n / d and n mod d one bit at a time, for d > 0: the reference.
void slowdivide(const u256& n, u128 d, u256& q, u128& r)
{
    q = {{0, 0, 0, 0}};
    u128 rest = 0;
    for (int bit = 255; bit >= 0; --bit)
    {
        const bool top = (rest >> 127) != 0;
        rest = (rest << 1) | ((n.w[bit / 64] >> (bit % 64)) & 1);
        if (top || rest >= d)
        {
            rest -= d;
            q.w[bit / 64] |= u64{1} << (bit % 64);
        }
    }
    r = rest;
}

// Words that reach the edges: zero, one, the top bit, all ones, and random ones.
u64 edgeword(std::mt19937_64& rng)
{
    switch (rng() % 6)
    {
        case 0:
            return 0;
        case 1:
            return 1;
        case 2:
            return u64{1} << 63;
        case 3:
            return ~u64{0};
        case 4:
            return ~u64{0} - (rng() % 3);
        default:
            return rng();
    }
}

TEST(SmallArithmetic, DivisionMatchesTheBitByBitReference)
{
    std::mt19937_64 rng(testseed());
    for (int round = 0; round < 200000; ++round)
    {
        u256 n{{edgeword(rng), edgeword(rng), edgeword(rng), edgeword(rng)}};
        u128 d = (static_cast<u128>(round % 4 == 0 ? 0 : edgeword(rng)) << 64) | edgeword(rng);
        if (d == 0)
            d = 1;
        if (round % 3 == 0)  // a quotient that fits: the top half below the divisor
            n.w[3] = 0, n.w[2] = static_cast<u64>(d >> 64) > 0 ? n.w[2] % static_cast<u64>(d >> 64)
                                                               : n.w[2] % static_cast<u64>(d);
        u256 want{};
        u128 wantrest = 0;
        slowdivide(n, d, want, wantrest);
        u128 q = 0, r = 0;
        const bool fits = want.w[2] == 0 && want.w[3] == 0;
        ASSERT_EQ(divide(n, d, q, r), fits) << round;
        if (fits)
        {
            ASSERT_TRUE(static_cast<u64>(q) == want.w[0] && static_cast<u64>(q >> 64) == want.w[1])
                << round;
            ASSERT_TRUE(r == wantrest) << round;
        }
    }
}

TEST(SmallArithmetic, ProductsAndDigitsGoBothWays)
{
    std::mt19937_64 rng(testseed());
    for (std::size_t n = 0; n <= twowords; ++n)
        for (int round = 0; round < 200; ++round)
        {
            std::int8_t digits[twowords + 8] = {}, back[twowords + 8] = {};
            for (std::size_t i = 0; i < n; ++i)
                digits[i] = static_cast<std::int8_t>(round == 0 ? 9 : rng() % 10);
            u128 v = 0;
            ASSERT_TRUE(smallvalue(digits, n, v)) << n;
            ASSERT_TRUE(v < power10(n)) << n;
            back[n] = 42;  // nothing is written past the digits
            smalldigits(v, back, n);
            ASSERT_EQ(std::string(digits, digits + n), std::string(back, back + n)) << n;
            ASSERT_EQ(back[n], 42) << n;
            if (n > 0)
            {
                digits[rng() % n] = 10;  // a digit out of range is refused
                ASSERT_FALSE(smallvalue(digits, n, v)) << n;
            }
            if (n == 0)
                continue;
            // (10^n - 1)^2 = (10^n - 2) 10^n + 1, in four words.
            const u256 p = multiply(power10(n) - 1, power10(n) - 1);
            u256 q{};
            u128 r = 0;
            slowdivide(p, power10(n), q, r);
            ASSERT_TRUE(r == 1 && ((static_cast<u128>(q.w[1]) << 64) | q.w[0]) == power10(n) - 2)
                << n;
        }
}

// Limbs of 18 digits in and out, against digit-by-digit references: every length up to thirteen
// limbs (pairs of limbs go through the vector on x86-64, groups of four through the vector
// kernels of the backends that have them, up to three groups, the rest one by one), with zero limbs
// above the digits, all nines, a digit out of range (read modulo 10) at a random place, and limbs
// out where their words turn over.
TEST(LimbDigits, PackAndUnpackMatchTheDigitByDigitReference)
{
    constexpr std::size_t most = 13 * limbdigits;
    std::mt19937_64 rng(testseed());
    const std::int8_t strange[] = {10, 19, 127, -1, -128};
    // Limbs where a word of eight digits or the top two turn over.
    const std::uint64_t edges[] = {1,
                                   99999999,
                                   100000000,
                                   9999999999999999,
                                   10000000000000000,
                                   limbbase - 1,
                                   123456789012345678};
    std::vector<const wordkernels*> vectors{nullptr};
    for (const transform::backend* backend : transform::backends)
        if (backend->available() && backend->words != nullptr &&
            std::find(vectors.begin(), vectors.end(), backend->words) == vectors.end())
            vectors.push_back(backend->words);
    for (std::size_t len = 0; len <= most; ++len)
        for (int round = 0; round < 12; ++round)
        {
            std::int8_t digits[most] = {};
            for (std::size_t i = 0; i < len; ++i)
                digits[i] = static_cast<std::int8_t>(round == 0 ? 9 : rng() % 10);
            if (round % 3 == 2 && len > 0)
                digits[rng() % len] = strange[rng() % 5];
            const std::size_t count = limbsfor(len) + static_cast<std::size_t>(round % 2) * 2;
            std::uint64_t limbs[most / limbdigits + 3] = {};
            for (const wordkernels* vector : vectors)
            {
                std::fill(std::begin(limbs), std::end(limbs), std::uint64_t{7});
                pack(digits, len, limbs, count, vector);
                for (std::size_t l = 0; l < count; ++l)
                {
                    std::uint64_t want = 0;
                    for (std::size_t i = std::min(len, (l + 1) * limbdigits); i-- > l * limbdigits;)
                        want = want * 10 + static_cast<std::uint64_t>((digits[i] % 10 + 10) % 10);
                    ASSERT_EQ(limbs[l], want) << len << " digits, limb " << l << ", round " << round
                                              << (vector != nullptr ? ", vector" : "");
                }
                ASSERT_EQ(limbs[count], 7u) << "a limb written past the count";
            }

            // Out: limbs below 10^18 (the top ones zero in some rounds, edges in others), n digits
            // and no more.
            for (std::size_t l = 0; l < count; ++l)
                limbs[l] = round % 4 == 1 && l + 1 >= limbsfor(len) ? 0
                           : round % 3 == 0                         ? edges[rng() % 7]
                                                                    : rng() % limbbase;
            for (const wordkernels* vector : vectors)
            {
                std::int8_t out[most + 1];
                std::fill(out, out + most + 1, std::int8_t{42});
                unpack(limbs, out, len, vector);
                for (std::size_t i = 0; i < len; ++i)
                {
                    std::uint64_t limb = limbs[i / limbdigits];
                    for (std::size_t k = 0; k < i % limbdigits; ++k) limb /= 10;
                    ASSERT_EQ(out[i], static_cast<std::int8_t>(limb % 10))
                        << len << " digits, at " << i << (vector != nullptr ? ", vector" : "");
                }
                ASSERT_EQ(out[len], 42) << len << " digits";
            }
        }
}

// The significant length of every string up to 200 digits with its top non-zero digit at every
// place (the scan goes 64, 16, 8 and 1 digits at a time), and of all zeros.
TEST(DigitStrings, SignificantFindsTheTopNonZeroDigitAtEveryPlace)
{
    for (std::size_t len = 0; len <= 200; ++len)
    {
        std::vector<std::int8_t> d(len + 1, 0);
        d[len] = 5;  // past the string: never read as part of it
        ASSERT_EQ(significant(d.data(), len), 0u) << len;
        for (std::size_t top = 0; top < len; ++top)
        {
            std::fill(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(len), std::int8_t{0});
            d[top] = static_cast<std::int8_t>(1 + top % 9);
            if (top > 0)
                d[top / 2] = 3;  // digits below the top do not matter
            ASSERT_EQ(significant(d.data(), len), top + 1) << len << " " << top;
        }
    }
}

// A number that ends leaves its store to the next number of its thread that needs about as many
// digits (one small store, up to 1 KiB, and one large): the next one starts as zeros or as an
// exact copy, whatever the store held, and logs as any other construction.
TEST(DigitStores, AStoreLeftByANumberComesBackAsZerosOrACopy)
{
    for (const std::uint64_t width : {40u, 1024u, 1025u, 70000u})
    {
        SCOPED_TRACE(width);
        QUORVEL::fixedint source(width);
        for (std::size_t i = 0; i < source.digits.size(); ++i)
            source.digits[i] = static_cast<std::int8_t>(i % 10);
        {
            QUORVEL::fixedint x(width), y(width);
            std::fill(x.digits.begin(), x.digits.end(), std::int8_t{7});
            std::fill(y.digits.begin(), y.digits.end(), std::int8_t{8});
        }
        ASSERT_TRUE(sparefits(width));  // one of them (or an earlier store as large) is kept
        const std::size_t mark = testing_support::logmark();
        {
            const QUORVEL::fixedint z(width);
            EXPECT_EQ(z.digits, std::vector<std::int8_t>(width, 0));
            EXPECT_EQ(testing_support::messages(testing_support::logsince(mark)),
                      testing_support::constructionmessages(width));
        }
        ASSERT_TRUE(sparefits(width));  // z's store, the one kept of its size
        if ((width <= 1024) == (width / 3 <= 1024))
        {
            EXPECT_FALSE(sparefits(width / 3));  // more than twice the digits: not taken
        }
        const QUORVEL::fixedint copy(source);
        EXPECT_EQ(copy.digits, source.digits);
    }
}
}  // namespace
