// Internal: natural numbers of any length, the working form of the number-theoretic operations
// (greatest common divisors, roots, modular powers and inverses). A natural is a vector of limbs of
// base 10^18, least significant first, with no zero limb at the top (zero has no limbs). Each
// operation returns a fresh vector; the limb kernels below do the work. Not installed.
#pragma once

#include "kernel/limb.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace QUORVEL
{
namespace detail
{
using natural = std::vector<u64>;

/// Drops the zero limbs at the top.
void trim(natural& x);
/// The value of the digit string d[0, n) (least significant first, digits 0 to 9).
natural fromdigits(const std::int8_t* d, std::size_t n);
/// Writes the low `n` digits of x into out[0, n) (zeros above its digits).
void todigits(const natural& x, std::int8_t* out, std::size_t n);
/// The natural of a two-word value, and the two-word value of a natural (false when it does not
/// fit: more than 38 digits).
natural fromsmall(u128 v);
bool tosmall(const natural& x, u128& v);
/// The number of decimal digits of x (0 for zero).
std::size_t digitlength(const natural& x);
/// log10(x) to about 15 significant digits, for x > 0.
double log10of(const natural& x);

/// -1, 0 or 1 as a is below, equal to or above b.
int compare(const natural& a, const natural& b);
natural add(const natural& a, const natural& b);
/// a - b, for a >= b.
natural subtract(const natural& a, const natural& b);
natural multiply(const natural& a, const natural& b);
/// a * f, for f < 10^18.
natural multiply(const natural& a, u64 f);
/// q = a / b and r = a mod b, for b > 0; either may be null. q and r are not a or b.
void divmod(const natural& a, const natural& b, natural* q, natural* r);
/// a / d in place, for 0 < d < 10^18; returns a mod d.
u64 divide(natural& a, u64 d);
/// a * 10^k and a / 10^k (rounded down).
natural shiftup(const natural& a, std::size_t k);
natural shiftdown(const natural& a, std::size_t k);
/// a^k (a^0 is 1).
natural power(const natural& a, std::uint64_t k);
}  // namespace detail
}  // namespace QUORVEL
