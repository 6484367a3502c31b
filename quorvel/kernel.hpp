// Internal: the digit product behind fixedint multiplication. Not installed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// True when every one of the `len` digits is in 0 to 9.
bool alldecimal(const std::int8_t* d, std::size_t len);

/// Writes the low `n` digits of the product of the digit strings `a` (`la` digits) and `b`
/// (`lb` digits), all least significant first, into `out[0, n)`. Digits outside 0 to 9 are read
/// modulo 10, so `out` always holds digits 0 to 9. `out` may not overlap the inputs.
void mullow(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* out, std::size_t n);
}  // namespace detail
}  // namespace QUORVEL
