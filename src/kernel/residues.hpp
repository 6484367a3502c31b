// Internal: arithmetic modulo a number: modular powers, and inverses modulo a power of the base.
// Not installed.
#pragma once

#include "kernel/natural.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace QUORVEL
{
namespace detail
{
/// The words of base 2^64 of x, least significant first (none for zero).
std::vector<std::uint64_t> binarywords(const natural& x);
/// base^exponent modulo m, in [0, m), for m > 0; the exponent as words of base 2^64, least
/// significant first (0^0 is 1).
natural powmod(const natural& base, const std::vector<std::uint64_t>& exponent, const natural& m);
/// y[0, n) = the inverse of x[0, n) modulo B^n, for x[0] prime to 10. `y` does not overlap `x`.
void inverselow(u64* y, const u64* x, std::size_t n);
}  // namespace detail
}  // namespace QUORVEL
