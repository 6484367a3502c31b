// One long product against GMP: 1,500,000 digits of random operands (wrapping to the width), a
// square among them, on both implementations of the transform. Exits 1 on a mismatch.
#include "common.hpp"
#include "quorvel/ntt.hpp"

#include <random>

int main()
{
    const std::uint64_t w = 1500000;
    std::mt19937_64 rng(20261209);
    QUORVEL::fixedint a(w), b(w);
    for (auto& d : a.digits) d = static_cast<std::int8_t>(rng() % 10);
    for (auto& d : b.digits) d = static_cast<std::int8_t>(rng() % 10);
#if defined(QUORVEL_SHARED)  // the switch is internal: a shared library does not export it
    for (const bool portable : {false})
    {
#else
    for (const bool portable : {false, true})
    {
        QUORVEL::detail::transformportable(portable);
#endif
        for (const QUORVEL::fixedint* y : {&b, &a})
        {
            const std::string got = (a * *y).asstring();
            fuzzing::check(got == fuzzing::product(a.digits, y->digits, w),
                           std::string("a product of 1,500,000 digits") +
                               (portable ? " (portable)" : "") + (y == &a ? " (square)" : ""));
        }
    }
    std::puts("products of 1,500,000 digits agree with GMP on both transforms");
    return 0;
}
