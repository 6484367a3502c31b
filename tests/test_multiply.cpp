// Multiplication: values, signs, wrap-around, errors and log lines.
#include "../fuzz/reference.hpp"
#include "kernel/tuning.hpp"
#if defined(QUORVEL_TEST_INTERNALS)
#include "kernel/decimal.hpp"
#include "kernel/digits.hpp"
#include "kernel/transform/backend.hpp"
#include "kernel/transform/modular.hpp"
#include "kernel/transform/transform.hpp"
#include "kernel/wordcolumns.hpp"
#include "kernel/words.hpp"
#endif
#include "support.hpp"

#include <quorvel/quorvel.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

namespace
{
using namespace testing_support;
using QUORVEL::fixedint;
using testing::StrEq;
using testing::ThrowsMessage;

fixedint make(std::uint64_t width, std::int64_t value)
{
    fixedint x(width);
    x = value;
    return x;
}

// The product's text from the reference arithmetic, which is independent of the library.
std::string reference(const fixedint& a, const fixedint& b)
{
    return (a.negative != b.negative ? "-" : "") +
           reference::text(reference::multiply(reference::fromdigits(a.digits),
                                               reference::fromdigits(b.digits), a.size));
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
// product from 128 limbs, Karatsuba from 200), those of the products in words of eight digits
// (blocks of 16 and 32 digits, up to 144) and of the longer products in words (blocks of 16
// columns, Karatsuba on the columns from 96 words, operands up to 6,144 digits), with leading
// zeros, zeros and all-nines: a round with the left operand at the full width, one with the right,
// two with both at half the width (the whole product, which Karatsuba splits), the rest at random
// lengths; on every backend of the transform below its thresholds, since some go by words there.
TEST(MultiplyRandom, MatchesAnIndependentProduct)
{
    const unsigned seed = testseed();
    std::mt19937 rng(seed);
    const std::uint64_t widths[] = {
        1,    2,    7,    8,    9,    15,   16,   17,   18,    19,    31,   32,   33,   35,
        36,   37,   40,   128,  143,  144,  145,  146,  153,   161,   300,  383,  384,  385,
        767,  768,  769,  1151, 1152, 1535, 1536, 1537, 2285,  2286,  2287, 2304, 3600, 3601,
        6143, 6144, 6145, 5130, 6000, 8191, 8192, 8193, 12000, 12288, 12290};
    for (std::uint64_t width : widths)
        for (int round = 0; round < (width < 1000 ? 12 : 4); ++round)
        {
            fixedint a(width), b(width);
            const auto half = static_cast<std::size_t>(width / 2 + (round == 3 ? 1 : 0));
            const auto la = static_cast<std::size_t>(round == 0 ? width
                                                     : round >= 2 && round <= 3
                                                         ? std::min<std::uint64_t>(half, width)
                                                         : rng() % (width + 1));
            const auto lb = static_cast<std::size_t>(round == 1   ? width
                                                     : round == 2 ? width - width / 2
                                                     : round == 3 ? width / 2
                                                                  : rng() % (width + 1));
            for (std::size_t i = 0; i < width; ++i)
            {
                a.digits[i] = static_cast<std::int8_t>(i < la ? rng() % 10 : 0);
                b.digits[i] = static_cast<std::int8_t>(i < lb ? (round % 3 ? rng() % 10 : 9) : 0);
            }
            a.negative = rng() % 2;
            b.negative = rng() % 2;
            const std::string want = reference(a, b);  // once, for every backend
            for (const std::string& backend : transformbackends())
            {
                const usebackend path(backend);
                ASSERT_EQ((a * b).asstring(), want) << "seed " << seed << " width " << width
                                                    << " round " << round << " backend " << backend;
            }
        }
    QUORVEL::logstream.str({});
}

// Identities that need no reference, at every limb edge and threshold of the kernel (the split
// product, Karatsuba inside it, reached where the split's first part reaches Karatsuba's threshold,
// the transform of each backend, and the transform of 2^12 truncated to 3,072 values at 1,536
// limbs, past it at 1,537, whole at 2,048, as the product of m limbs needs a length of 2m - 1), on
// both sides of each: (10^w - 1)^2 = 1 and x * (10^w - 1) = 10^w - x, modulo 10^w. All nines give
// the largest column sums, and the largest coefficients of the transform.
TEST(MultiplyIdentities, HoldAtEveryEdge)
{
    using namespace QUORVEL::detail::tuning;
    const std::size_t splitreaches = (10 * karatsubafrom - 9 + 6) / 7;  // (7m + 9) / 10 >= it
    std::vector<std::size_t> limbcounts{1, 2, 3, 400, 1536, 1537, 2048};
    for (std::size_t edge : {shortfrom, karatsubafrom, splitreaches, transformfromifma,
                             transformfromscalar, transformfromfma})
        limbcounts.insert(limbcounts.end(), {edge - 1, edge, edge + 1});
    std::vector<std::uint64_t> widths;
    for (std::uint64_t limbs : limbcounts)
        for (std::uint64_t w : {limbs * 18 - 1, limbs * 18, limbs * 18 + 1}) widths.push_back(w);
    std::mt19937 rng(testseed());
    const std::vector<std::string> backends = transformbackends();
    for (const std::string& backend : backends)
        for (std::uint64_t w : widths)
        {
            if (backend != backends.front() && w < 18 * (transformfromifma - 1))
                continue;  // below every transform the backends share one path
            const usebackend path(backend);
            fixedint nines(w), x(w);
            std::fill(nines.digits.begin(), nines.digits.end(), std::int8_t{9});
            for (auto& d : x.digits) d = static_cast<std::int8_t>(rng() % 10);
            x.digits[0] = static_cast<std::int8_t>(1 + rng() % 9);  // not a multiple of 10^w
            ASSERT_EQ((nines * nines).asstring(), "1") << "width " << w << " backend " << backend;
            std::string complement;  // 10^w - x, digit by digit
            for (std::size_t i = 0; i < w; ++i)
                complement +=
                    static_cast<char>('0' + (i == 0 ? 10 - x.digits[0] : 9 - x.digits[i]));
            while (complement.size() > 1 && complement.back() == '0') complement.pop_back();
            ASSERT_EQ((x * nines).asstring(), std::string(complement.rbegin(), complement.rend()))
                << "width " << w << " backend " << backend;
        }
    QUORVEL::logstream.str({});
}

// Whole products of all-nines, (10^k - 1)^2 = 10^2k - 2 10^k + 1 in a width of 2k: the largest
// columns the products in words form (at Karatsuba's edge, two levels of it, the longest operands
// it takes and one digit beyond) and carries that run through every stretch of them; then at the
// lengths where each backend's full products take the transform; on every backend.
TEST(MultiplyIdentities, WholeSquaresOfNinesAtTheWordEdges)
{
    using namespace QUORVEL::detail::tuning;
    std::vector<std::uint64_t> lengths{
        9, 145, 767, 768, 769, 1536, 3001, wordmulupto, wordmulupto + 1};
    for (const std::size_t from : {transformfromscalar, transformfromifma, transformfromfma})
        for (const std::uint64_t k :
             {18 * fulltransformfrom(from) - 18, 18 * fulltransformfrom(from)})
            lengths.insert(lengths.end(), {k - 1, k, k + 1});
    for (const std::string& backend : transformbackends())
    {
        const usebackend path(backend);
        for (const std::uint64_t k : lengths)
        {
            fixedint x(2 * k);
            std::fill(x.digits.begin(), x.digits.begin() + static_cast<std::ptrdiff_t>(k),
                      std::int8_t{9});
            const std::string want = std::string(k - 1, '9') + "8" + std::string(k - 1, '0') + "1";
            ASSERT_EQ((x * x).asstring(), want) << k << " digits, backend " << backend;
            const fixedint y = x;  // not the same number: the product of two
            ASSERT_EQ((x * y).asstring(), want) << k << " digits, backend " << backend;
        }
    }
    QUORVEL::logstream.str({});
}

#if defined(QUORVEL_TEST_INTERNALS)
// The transform's last step on residues made from chosen coefficients c = a B^2 + b B + r: where
// r, the b of the coefficient below and the a of the one below that add up to two bases or more,
// the limb takes two carries. A product's columns reach that only when crafted; these do at every
// place, with a as large as a coefficient allows and small, and with every limb nines. Then
// coefficients whose limbs sit at the edges of the base (0, 1, B / 2, B - 1), where an estimated
// quotient is most easily one off, mixed with random ones up to the largest a product has; on
// every backend's recombination. Limbs of nines pass a carry on, through groups of four limbs.
TEST(MultiplyRecombination, CarriesAsOftenAsTheColumnsNeed)
{
    using namespace QUORVEL::detail;
    using transform::primes;
    const auto mulmod = [](u64 x, u64 y, u64 p)  // x, y < p < 2^50, by doubling
    {
        u64 r = 0;
        for (x %= p; y != 0; y >>= 1, x = (2 * x) % p)
            if ((y & 1) != 0)
                r = (r + x) % p;
        return r;
    };
    struct coefficients
    {
        std::vector<u64> a, b, r;
    };
    std::vector<coefficients> cases;
    constexpr std::size_t count = 12;
    for (const u64 top : {u64{1000000000}, u64{2}, u64{0}})
    {
        // Every coefficient but the top two (whose a and b a product never has) at its largest.
        coefficients c{std::vector<u64>(count, top), std::vector<u64>(count, limbbase - 1),
                       std::vector<u64>(count, limbbase - 1)};
        c.a[count - 1] = c.a[count - 2] = c.b[count - 1] = 0;
        cases.push_back(c);
    }
    // Limbs of nines that a carry runs through, across groups of four limbs: from limb 1 on,
    // taking a carry of one, and from limb 23 on, a carry of two meeting B - 2.
    coefficients ripple{std::vector<u64>(40, 0), std::vector<u64>(40, 0),
                        std::vector<u64>(40, limbbase - 1)};
    ripple.b[0] = 1;
    ripple.r[20] = 0;
    ripple.a[20] = 2;
    ripple.b[21] = limbbase - 1;
    ripple.r[22] = limbbase - 1;
    ripple.r[23] = limbbase - 2;
    cases.push_back(ripple);
    std::mt19937_64 rng(11);
    const u64 edges[] = {0, 1, 2, limbbase / 2, limbbase - 2, limbbase - 1};
    const u64 tops[] = {0, 1, 2, 3, (u64{1} << 30) - 1};  // c < 2^30 10^36 (modular.hpp)
    coefficients mixed;
    for (std::size_t k = 0; k < 3000; ++k)
    {
        const bool edge = k % 2 == 0;
        mixed.a.push_back(edge ? tops[rng() % 5] : rng() % (u64{1} << 30));
        mixed.b.push_back(edge ? edges[rng() % 6] : rng() % limbbase);
        mixed.r.push_back(edge ? edges[rng() % 6] : rng() % limbbase);
    }
    mixed.a.push_back(0);
    mixed.a.push_back(0);
    mixed.b.push_back(0);
    mixed.b.push_back(rng() % limbbase);
    mixed.r.push_back(rng() % limbbase);
    mixed.r.push_back(rng() % limbbase);
    std::swap(mixed.b[mixed.b.size() - 1], mixed.b[mixed.b.size() - 2]);
    cases.push_back(mixed);
    for (const coefficients& c : cases)
    {
        const std::size_t n = c.a.size();
        std::vector<u64> residues[3];
        for (std::size_t i = 0; i < 3; ++i)
        {
            const u64 p = primes[i].p, base = limbbase % p;
            for (std::size_t k = 0; k < n; ++k)
            {
                const u64 x = (mulmod(mulmod(c.a[k], base, p), base, p) + mulmod(c.b[k], base, p) +
                               c.r[k] % p) %
                              p;
                residues[i].push_back(mulmod(x, transform::crtfactor(i), p));
            }
        }
        std::vector<u64> want(n + 1);
        u64 carry = 0;
        for (std::size_t k = 0; k <= n; ++k)
        {
            const u64 limb = carry + (k < n ? c.r[k] : 0) + (k >= 1 ? c.b[k - 1] : 0) +
                             (k >= 2 ? c.a[k - 2] : 0);
            want[k] = limb % limbbase;
            carry = limb / limbbase;
        }
        for (const transform::backend* backend : transform::backends)
        {
            if (!backend->available())
                continue;
            std::vector<u64> copies[3] = {residues[0], residues[1], residues[2]};
            u64* const arrays[3] = {copies[0].data(), copies[1].data(), copies[2].data()};
            std::vector<u64> got(n + 1);
            backend->recombine(got.data(), n, arrays, true);
            EXPECT_EQ(got, want) << "a " << c.a[0] << ", " << n << " coefficients, backend "
                                 << backend->name;
            // The low limbs alone (a low product's), from the residues again.
            const std::size_t low = n / 2 + 1;
            std::vector<u64> again[3] = {residues[0], residues[1], residues[2]};
            u64* const lows[3] = {again[0].data(), again[1].data(), again[2].data()};
            std::vector<u64> part(n + 1, 7);
            backend->recombine(part.data(), low, lows, false);
            EXPECT_EQ(part[low], 7u) << "a limb written past the low ones";
            part.resize(low);
            std::vector<u64> wantlow = want;
            wantlow.resize(low);
            EXPECT_EQ(part, wantlow)
                << low << " of " << n << " coefficients, backend " << backend->name;
        }
    }
}
#endif

#if defined(QUORVEL_TEST_INTERNALS)
// The transform's whole product on every backend, at the lengths where its shape changes: a block
// of the cache exactly, one stage above it, two stages per pass above it (the quarters a block or
// more), the radix-3 lengths beside each, a very unbalanced product whose last coefficients are
// not a multiple of four, a square, and all nines (the largest coefficients a product has). Each
// backend's limbs must equal the others' and keep the product's residue modulo 2^61 - 1.
TEST(MultiplyTransform, EveryBackendAgreesWhereTheShapeChanges)
{
    using namespace QUORVEL::detail;
    ASSERT_TRUE(transform::choosebackend().available()) << transform::choosebackend().name;
    struct shape
    {
        std::size_t na, nb;
        bool square, nines;
    };
    // Product lengths (na + nb - 1) of a whole 2^k (4,096, 8,192, 16,384, 32,768, nines at
    // 16,384) and truncated ones, whose inverse meets each case of its recursion: 4,097 and 16,385
    // (a step past 2^k), 12,006 (unbalanced), a square of 17,999, 16,000, nines at 11,999, 32,704
    // (all but the last step), 1,059 (the first step past a half); and 39, 48, 8 and 18, whole
    // transforms of 64, 16 and 32 (the shortest).
    std::vector<shape> shapes = {
        {2048, 2049, false, false},   {2049, 2049, false, false}, {4096, 4097, false, false},
        {8192, 8193, false, false},   {8193, 8193, false, false}, {12001, 6, false, false},
        {16385, 16384, false, false}, {9000, 9000, true, false},  {8192, 8193, false, true},
        {8000, 8001, false, false},   {6000, 6000, false, true},  {16353, 16352, false, false},
        {1000, 60, false, false},     {20, 20, false, false},     {24, 25, false, true},
        {5, 4, false, true},          {10, 9, false, false}};
    // Every truncation of 2^11 and of 2^12 (a product needs more than half of its 2^k) and the
    // first sixteen of 2^13, each at a random place in its step, balanced or not: every pattern of
    // whole, partial and absent blocks in the upper halves of 2^11 and 2^12.
    std::mt19937_64 rng(testseed());
    for (std::size_t steps = 1; steps <= 64; ++steps)
    {
        const std::size_t need = 1024 + 64 * (steps - 1) + 1 + rng() % 64;
        const std::size_t na = steps % 2 == 0 ? (need + 1) / 2 : 1 + rng() % need;
        shapes.push_back({na, need + 1 - na, false, steps % 9 == 0});
    }
    constexpr u64 mersenne = (u64{1} << 61) - 1;
    const auto residue = [](const u64* x, std::size_t n)  // x in base 10^18, modulo 2^61 - 1
    {
        u128 r = 0;
        for (std::size_t i = n; i-- > 0;) r = (r * limbbase + x[i]) % mersenne;
        return static_cast<u64>(r);
    };
    for (const shape& s : shapes)
    {
        std::vector<u64> a(s.na), b(s.nb);
        for (u64& l : a) l = s.nines ? limbbase - 1 : rng() % limbbase;
        for (u64& l : b) l = s.nines ? limbbase - 1 : rng() % limbbase;
        const std::vector<u64>& y = s.square ? a : b;
        const u64 want = static_cast<u64>(static_cast<u128>(residue(a.data(), a.size())) *
                                          residue(y.data(), y.size()) % mersenne);
        std::vector<u64> first;
        for (const transform::backend* backend : transform::backends)
        {
            if (!backend->available())
                continue;
            std::vector<u64> r(a.size() + y.size());
            transformproduct(r.data(), a.data(), a.size(), y.data(), y.size(), r.size(), *backend);
            ASSERT_EQ(residue(r.data(), r.size()), want)
                << s.na << " by " << s.nb << " limbs, backend " << backend->name;
            if (first.empty())
                first = r;
            else
                ASSERT_EQ(r, first)
                    << s.na << " by " << s.nb << " limbs, backend " << backend->name;
        }
    }
}

// The products in words (on the backends with a column kernel) against the limbs (the scalar
// backend's path below its transform), from the same digits: every operand length up to 400
// digits and lengths around Karatsuba's split, with the result as long as the whole product, as
// the longer operand (a low half) and in between; random digits, all nines and a lone top digit.
TEST(MultiplyWords, AgreeWithTheLimbsAtEveryLength)
{
    namespace detail = QUORVEL::detail;
    std::vector<std::string> wordbackends;
    for (const detail::transform::backend* b : detail::transform::backends)
        if (b->available() && b->words != nullptr)
            wordbackends.emplace_back(b->name);
    if (wordbackends.empty())
        GTEST_SKIP() << "no backend here forms products in words";
    std::mt19937 rng(testseed());
    std::vector<std::size_t> lengths;
    for (std::size_t l = 1; l <= 400; ++l) lengths.push_back(l);
    const std::size_t split = 8 * detail::tuning::wordkaratsubafrom;
    for (std::size_t l : {split - 9, split - 1, split, split + 1, split + 8, 2 * split + 3})
        lengths.push_back(l);
    const auto product = [](const std::string& backend, const std::vector<std::int8_t>& a,
                            const std::vector<std::int8_t>& b, std::size_t n)
    {
        const usebackend path(backend);
        std::vector<std::int8_t> out(n, 42);
        detail::mullow(a.data(), detail::significant(a.data(), a.size()), b.data(),
                       detail::significant(b.data(), b.size()), out.data(), n);
        return out;
    };
    for (const std::size_t la : lengths)
    {
        const std::size_t lb = la % 3 == 0 ? la : 1 + rng() % (la + 8);
        std::vector<std::int8_t> a(la), b(lb);
        for (auto& d : a) d = static_cast<std::int8_t>(la % 7 == 0 ? 9 : rng() % 10);
        for (auto& d : b) d = static_cast<std::int8_t>(lb % 5 == 0 ? 9 : rng() % 10);
        a.back() = static_cast<std::int8_t>(1 + rng() % 9);
        b.back() = static_cast<std::int8_t>(1 + rng() % 9);
        const std::size_t longer = std::max(la, lb);
        for (const std::size_t n : {la + lb, longer, longer + (la + lb - longer) / 2})
        {
            const std::vector<std::int8_t> want = product("scalar", a, b, n);
            for (const std::string& backend : wordbackends)
                ASSERT_EQ(product(backend, a, b, n), want)
                    << la << " by " << lb << " digits to " << n << ", backend " << backend;
        }
    }
}

// Each backend's kernels of products in words against the portable steps they stand for, at
// every length up to 300 digits (words): digits in (a byte above 9 anywhere must be seen), the
// columns of every shape up to 40 by 40 words (low products too), digits out (nothing written past
// the end).
TEST(MultiplyWords, KernelsMatchThePortableSteps)
{
    namespace detail = QUORVEL::detail;
    using u64 = std::uint64_t;
    std::mt19937 rng(testseed());
    const auto word = [&rng] { return static_cast<std::uint32_t>(rng() % 100000000U); };
    for (const detail::transform::backend* b : detail::transform::backends)
    {
        if (!b->available() || b->words == nullptr)
            continue;
        const detail::wordkernels& k = *b->words;
        for (std::size_t len = 0; len <= 300; ++len)
        {
            std::vector<std::int8_t> d(len);
            for (auto& x : d) x = static_cast<std::int8_t>(rng() % 10);
            for (const std::size_t at : {len, len / 3, len - 1})
            {
                std::vector<std::int8_t> e = d;
                if (at < len)  // one byte outside 0 to 9 (or none)
                    e[at] = static_cast<std::int8_t>(at % 2 == 0 ? 10 : -1);
                std::vector<std::uint32_t> want(len / 8 + 1, 7), got = want;
                u64 wantbad = 0, gotbad = 0;
                ASSERT_EQ(k.words(e.data(), len, got.data(), gotbad),
                          detail::towords(e.data(), len, want.data(), wantbad));
                ASSERT_EQ(got, want) << b->name << ", " << len << " digits";
                ASSERT_EQ(gotbad != 0, wantbad != 0) << b->name << ", bad byte at " << at;
            }
            std::vector<std::uint32_t> values(len / 8 + 1);
            for (auto& v : values) v = len % 5 == 0 ? 99999999U : word();
            std::vector<std::int8_t> want(len + 8, 42), got = want;
            detail::fromwords(values.data(), want.data(), len);
            k.digits(values.data(), got.data(), len);
            ASSERT_EQ(got, want) << b->name << ", " << len << " digits out";
        }
        for (std::size_t nx = 1; nx <= 40; ++nx)
            for (std::size_t ny = 1; ny <= 40; ny += 1 + nx % 3)
            {
                std::vector<std::uint32_t> x(nx);
                std::vector<u64> lanes(ny + 2 * detail::columnpad, 0);
                for (auto& v : x) v = nx % 4 == 0 ? 99999999U : word();
                for (std::size_t j = 0; j < ny; ++j) lanes[detail::columnpad + j] = word();
                const u64* y = lanes.data() + detail::columnpad;
                std::vector<u64> want(nx + ny - 1, 0);
                for (std::size_t i = 0; i < nx; ++i)
                    for (std::size_t j = 0; j < ny; ++j) want[i + j] += u64{x[i]} * y[j];
                for (const std::size_t count : {nx + ny - 1, (nx + ny) / 2, std::size_t{1}})
                {
                    std::vector<u64> got(count + 1, 42);
                    k.columns(got.data(), count, x.data(), nx, y, ny);
                    ASSERT_EQ(got.back(), 42u) << b->name << ": a column past the count";
                    got.pop_back();
                    std::vector<u64> low = want;
                    low.resize(count);
                    ASSERT_EQ(got, low)
                        << b->name << ", " << nx << " by " << ny << " words, " << count;
                }
            }
    }
}
#endif

// An all-nines operand of 17 to 20 limbs times a longer all-nines one: (10^m - 1)(10^w - 1) =
// 10^w - 10^m + 1 modulo 10^w. Columns of up to 18 terms split their sum with one division and
// longer ones with two; here the column of 19 terms comes well before the last, so a wrong bound
// between the two shows (where it is the last column its carry is dropped).
TEST(MultiplyIdentities, AllNinesAtTheColumnBound)
{
    const std::uint64_t w = 720;
    fixedint nines(w);
    std::fill(nines.digits.begin(), nines.digits.end(), std::int8_t{9});
    for (const std::uint64_t limbs : {17u, 18u, 19u, 20u})
    {
        const std::uint64_t m = 18 * limbs;
        fixedint shorter(w);
        std::fill(shorter.digits.begin(), shorter.digits.begin() + static_cast<std::ptrdiff_t>(m),
                  std::int8_t{9});
        std::string want(w, '9');  // 10^w - 10^m + 1: nines above position m, then zeros, then 1
        std::fill(want.end() - static_cast<std::ptrdiff_t>(m), want.end(), '0');
        want.back() = '1';
        EXPECT_EQ((shorter * nines).asstring(), want) << limbs << " limbs";
        EXPECT_EQ((nines * shorter).asstring(), want) << limbs << " limbs";
    }
    QUORVEL::logstream.str({});
}

// Products of about a million digits that do not wrap (each operand has half the width) are
// checked by their residues modulo primes, computed from the digits: exact, and on every backend
// of the transform, with a square among them; on lengths 2^17 and 2^16 truncated to 66,688 and
// 54,016 values, whose whole blocks take two stages per pass above the blocks of the cache.
TEST(MultiplyIdentities, LongProductsKeepTheirResidues)
{
    auto residue = [](const fixedint& x, std::uint64_t p)
    {
        std::uint64_t r = 0;
        for (std::size_t i = x.digits.size(); i-- > 0;)
            r = (r * 10 + static_cast<std::uint64_t>(x.digits[i])) % p;
        return r;
    };
    std::mt19937 rng(testseed());
    for (const std::uint64_t w : {1200000u, 972000u})
    {
        fixedint a(w), b(w);
        for (std::size_t i = 0; i < w / 2; ++i)
        {
            a.digits[i] = static_cast<std::int8_t>(rng() % 10);
            b.digits[i] = i % 7 == 0 ? 9 : static_cast<std::int8_t>(rng() % 10);
        }
        for (const std::string& backend : transformbackends())
        {
            const usebackend path(backend);
            for (const fixedint* y : {&b, &a})
            {
                const fixedint c = a * *y;
                for (std::uint64_t p : {1000000007u, 998244353u, 4294967291u})
                    ASSERT_EQ(residue(c, p), residue(a, p) * residue(*y, p) % p)
                        << "width " << w << ", prime " << p << ", backend " << backend
                        << (y == &a ? ", square" : "");
            }
        }
    }
    QUORVEL::logstream.str({});
}

// Digits outside 0 to 9 (only a caller can put them there) are read modulo 10: on the eight-digit
// and eighteen-digit word paths and on the products in words (from 145 digits), across their
// edges, those of 64 digits at a time, and at the top position.
TEST(MultiplyIdentities, ReadsDigitsOutsideTheRangeModuloTen)
{
    const std::int8_t strange[] = {10, 13, 127, -1, -128, 99};
    for (std::size_t w : {8u, 9u, 18u, 19u, 36u, 40u, 200u, 301u})
        for (std::size_t at : {std::size_t{0}, std::size_t{7}, std::size_t{8}, std::size_t{17},
                               std::size_t{63}, std::size_t{64}, w / 2, w - 1})
        {
            if (at >= w)
                continue;
            fixedint a(w), one(w);
            one = 1;
            for (std::size_t i = 0; i < w; ++i) a.digits[i] = static_cast<std::int8_t>(i % 10);
            const std::int8_t d = strange[(at + w) % (sizeof strange)];
            a.digits[at] = d;
            fixedint read = a;  // what the product must see
            read.digits[at] = static_cast<std::int8_t>((d % 10 + 10) % 10);
            EXPECT_EQ((a * one).digits, read.digits) << "width " << w << " position " << at;
            EXPECT_EQ((one * a).digits, read.digits) << "width " << w << " position " << at;
        }
}
}  // namespace
