// Internal: products of decimal numbers, on digit strings (one digit per byte, least significant
// first) and on limbs of base 10^18 (least significant first, each below 10^18). Not installed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// Writes the low `n` digits of the product of the digit strings `a` (`la` digits) and `b`
/// (`lb` digits) into `out[0, n)`. Digits outside 0 to 9 are read modulo 10, so `out` always
/// holds digits 0 to 9. `out` may not overlap the inputs.
void mullow(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* out, std::size_t n);
/// Writes the low `n` digits of base^exponent (`base` has `lbase` digits, read modulo 10) into
/// `out[0, n)`; base^0 is 1. `out` may not overlap `base`. For n > 0.
void powlow(const std::int8_t* base, std::size_t lbase, std::uint64_t exponent, std::int8_t* out,
            std::size_t n);

/// The low `m` limbs of the product of `a` and `b`, each `m` limbs, into `r`. The part of
/// `mullow` between packing and unpacking.
void limbproduct(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b, std::size_t m);
/// r[0, m) = the low m limbs of a[0, na) * b[0, nb), column by column; for min(na, nb) <= 255.
void columnproduct(std::uint64_t* r, const std::uint64_t* a, std::size_t na, const std::uint64_t* b,
                   std::size_t nb, std::size_t m);
/// r[0, na + nb) = a[0, na) * b[0, nb), the full product. `scratch` holds
/// `fullmulscratch(na, nb)` limbs; `r` overlaps neither the inputs nor the scratch.
void fullmul(std::uint64_t* r, const std::uint64_t* a, std::size_t na, const std::uint64_t* b,
             std::size_t nb, std::uint64_t* scratch);
std::size_t fullmulscratch(std::size_t na, std::size_t nb);
/// r[0, m) = the low m limbs of a[0, m) * b[0, m). `scratch` holds `shortmulscratch(m)` limbs;
/// `r` overlaps neither the inputs nor the scratch.
void shortmul(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b, std::size_t m,
              std::uint64_t* scratch);
std::size_t shortmulscratch(std::size_t m);
}  // namespace detail
}  // namespace QUORVEL
