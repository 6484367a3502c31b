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
/// Decimal digits per limb of the product's internal base 10^18.
constexpr std::size_t limbdigits = 18;
/// The low `m` limbs (base 10^18, least significant first) of the product of `a` and `b`, each
/// `m` limbs below 10^18, into `r`. The part of `mullow` between packing and unpacking.
void limbproduct(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b, std::size_t m);
}  // namespace detail
}  // namespace QUORVEL
