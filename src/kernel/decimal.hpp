// Internal: the kernels on digit strings (one decimal digit per byte, least significant first),
// as the number operations call them. Each packs its operands into limbs of base 10^18, runs the
// limb kernels on the transform backend it chooses once, and unpacks. Digits outside 0 to 9 are
// read modulo 10. Not installed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// Writes the low `n` digits of the product of the digit strings `a` (`la` digits) and `b`
/// (`lb` digits) into `out[0, n)`. Both operands are read whole before anything is written, so
/// `out` may be `a` or `b`.
void mullow(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* out, std::size_t n);
/// Writes the low `n` digits of base^exponent (`base` has `lbase` digits) into `out[0, n)`;
/// base^0 is 1. `out` may not overlap `base`. For n > 0.
void powlow(const std::int8_t* base, std::size_t lbase, std::uint64_t exponent, std::int8_t* out,
            std::size_t n);
/// Divides the digit string `a` (`la` digits) by `b` (`lb` digits, not zero): writes a / b
/// (rounded toward zero) into `q[0, n)` and a mod b into `r[0, n)`, either of which may be null,
/// for n >= la. Both operands are read whole before anything is written, so `q` or `r` may be
/// `a` or `b` (when `a` has n digits and the ones above its `la` are zero). Throws std::bad_alloc.
void divmod(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* q, std::int8_t* r, std::size_t n);
}  // namespace detail
}  // namespace QUORVEL
