// Internal: greatest common divisors and modular inverses of naturals, by Lehmer's algorithm on
// limbs of base 10^18. Not installed.
#pragma once

#include "kernel/natural.hpp"

namespace QUORVEL
{
namespace detail
{
/// The greatest common divisor of a and b (gcd(0, 0) is 0).
natural gcd(natural a, natural b);
/// The inverse of x modulo m, in [0, m), for m > 0: false when gcd(x, m) is not 1. x need not be
/// below m.
bool inverse(const natural& x, const natural& m, natural& out);
}  // namespace detail
}  // namespace QUORVEL
