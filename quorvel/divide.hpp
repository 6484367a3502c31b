// Internal: division of decimal numbers, on digit strings and on limbs of base 10^18. Not
// installed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// Divides the digit string `a` (`la` digits) by `b` (`lb` digits, not zero), digits least
/// significant first and read modulo 10: writes a / b (rounded toward zero) into `q[0, n)` and
/// a mod b into `r[0, n)`, either of which may be null, for n >= la. Both operands are read whole
/// before anything is written, so `q` or `r` may be `a` or `b` (when `a` has n digits and the
/// ones above its `la` are zero). Throws std::bad_alloc.
void divmod(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* q, std::int8_t* r, std::size_t n);

/// The same on limbs: q[0, na - nb + 1) = a / b and r[0, nb) = a mod b, for a[0, na) and b[0, nb)
/// with na >= nb >= 1 and b[nb - 1] != 0. `q` and `r` overlap neither input.
void divlimbs(std::uint64_t* q, std::uint64_t* r, const std::uint64_t* a, std::size_t na,
              const std::uint64_t* b, std::size_t nb);
}  // namespace detail
}  // namespace QUORVEL
