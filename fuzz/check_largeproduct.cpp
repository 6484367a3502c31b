// Long products against GMP on every backend of the transform this processor runs: 1,500,000
// digits of random operands (wrapping to the width), a square among them; operands of half the
// width (the whole product kept: the operands' lengths, not the width, decide the method); and a
// power of a short base (3^1000000: it fills the width late). Exits 1 on a mismatch.
#include "common.hpp"

#include <random>
#if defined(QUORVEL_TEST_INTERNALS)
#include "kernel/transform/backend.hpp"
#endif

int main()
{
    const std::uint64_t w = 1500000;
    std::mt19937_64 rng(20261209);
    QUORVEL::fixedint a(w), b(w);
    for (auto& d : a.digits) d = static_cast<std::int8_t>(rng() % 10);
    for (auto& d : b.digits) d = static_cast<std::int8_t>(rng() % 10);
#if defined(QUORVEL_TEST_INTERNALS)
    namespace transform = QUORVEL::detail::transform;
    for (const transform::backend* backend : transform::backends)
    {
        if (!backend->available())
            continue;
        transform::forcebackend(backend);
        const std::string name = backend->name;
#else  // the library's own choice alone: a shared build cannot be switched
    {
        const std::string name = "chosen";
#endif
        for (const QUORVEL::fixedint* y : {&b, &a})
        {
            const std::string got = (a * *y).asstring();
            fuzzing::check(got == fuzzing::product(a.digits, y->digits, w),
                           "a product of 1,500,000 digits on the " + name + " backend" +
                               (y == &a ? " (square)" : ""));
        }
        QUORVEL::fixedint ha = a, hb = b;
        std::fill(ha.digits.begin() + w / 2, ha.digits.end(), std::int8_t{0});
        std::fill(hb.digits.begin() + w / 2 + 1, hb.digits.end(), std::int8_t{0});
        fuzzing::check((ha * hb).asstring() == fuzzing::product(ha.digits, hb.digits, w),
                       "a whole product of 750,000 digits on the " + name + " backend");
        fuzzing::check(QUORVEL::pow(QUORVEL::fixedint(w, 3), 1000000).asstring() ==
                           fuzzing::power(3, 1000000, w),
                       "3^1000000 on the " + name + " backend");
        std::printf("products of 1,500,000 digits agree with GMP on the %s backend\n",
                    name.c_str());
    }
    return 0;
}
