// The two-word 128-bit integer of builds without unsigned __int128, against the compiler's own
// where there is one: every operation on edge values and random ones, including the paths the
// kernels never take (two-word divisors, shifts of 64 and more).
#include "kernel/wide.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#if defined(__SIZEOF_INT128__)
namespace
{
using QUORVEL::detail::wide::u128;
using u64 = std::uint64_t;
__extension__ typedef unsigned __int128 native;

u128 wide(native v)
{
    return {static_cast<u64>(v >> 64), static_cast<u64>(v), 0};
}
native back(u128 v)
{
    return (static_cast<native>(v.high()) << 64) | v.low();
}

// Edge words (0, 1, around 2^32 and 2^63, the top) in both halves, then random values of random
// widths, so that every carry, borrow and normalisation shift is met.
std::vector<native> operands()
{
    const u64 edges[] = {0,
                         1,
                         2,
                         0xFFFFFFFFu,
                         u64{1} << 32,
                         u64{1} << 63,
                         ~u64{0} - 1,
                         ~u64{0},
                         1000000000000000000u};
    std::vector<native> v;
    for (u64 h : edges)
        for (u64 l : edges) v.push_back((static_cast<native>(h) << 64) | l);
    std::mt19937_64 rng(testing_support::testseed());
    for (int i = 0; i < 300; ++i)
    {
        const native r = (static_cast<native>(rng()) << 64) | rng();
        v.push_back(r >> (rng() % 128));
    }
    return v;
}

TEST(Wide, AgreesWithTheCompilersIntegerEverywhere)
{
    const std::vector<native> values = operands();
    for (native a : values)
        for (native b : values)
        {
            const u128 x = wide(a), y = wide(b);
            ASSERT_EQ(back(x + y), a + b);
            ASSERT_EQ(back(x - y), a - b);
            ASSERT_EQ(back(x * y), a * b);
            ASSERT_EQ(x < y, a < b);
            ASSERT_EQ(x == y, a == b);
            ASSERT_EQ(back(x | y), a | b);
            ASSERT_EQ(back(x & y), a & b);
            if (b != 0)
            {
                ASSERT_EQ(back(x / y), a / b) << "high words " << (a >> 64 != 0) << (b >> 64 != 0);
                ASSERT_EQ(back(x % y), a % b);
            }
        }
    for (native a : values)
        for (int s = 0; s < 128; ++s)
        {
            ASSERT_EQ(back(wide(a) << s), a << s) << s;
            ASSERT_EQ(back(wide(a) >> s), a >> s) << s;
        }
}

TEST(Wide, WorksInConstantExpressions)
{
    constexpr u128 m = u128(~u64{0}) * u128(~u64{0});
    static_assert(m.high() == ~u64{0} - 1 && m.low() == 1, "the square of 2^64 - 1");
    constexpr u128 q = (u128(1000000000000000000u) * 1000000000000000000u) / 1000000000000000000u;
    static_assert(q == u128(1000000000000000000u), "a quotient of two words by one");
    static_assert(static_cast<u64>(~u128(0) % 7) == static_cast<u64>(~native{0} % 7), "");
}
}  // namespace
#endif
