// Internal: digit strings (one decimal digit per byte, least significant first) with a short
// operand, and negation: what the operations with a built-in integer and the steps of one need.
// Not installed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// out = x + v modulo 10^n, for x[0, n) and v[0, lv) (digits 0 to 9; only the low n digits of v
/// count). `out` may be `x`.
void addshort(const std::int8_t* x, const std::int8_t* v, std::size_t lv, std::int8_t* out,
              std::size_t n);
/// out = x - v modulo 10^n, as `addshort`.
void subtractshort(const std::int8_t* x, const std::int8_t* v, std::size_t lv, std::int8_t* out,
                   std::size_t n);
/// out = -x modulo 10^n (the ten's complement; zero stays zero). `out` may be `x`.
void negatedigits(const std::int8_t* x, std::int8_t* out, std::size_t n);
}  // namespace detail
}  // namespace QUORVEL
