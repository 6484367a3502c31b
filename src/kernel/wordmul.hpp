// Internal: products of digit strings of up to a few thousand digits in words of eight digits, on
// the vector column kernel of the operation's backend (kernel/wordcolumns.hpp): where the limbs'
// schoolbook would run, with digits in and out of words at a few instructions each. Not
// installed.
#pragma once

#include "kernel/transform/backend.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// Whether `wordmul` takes a product of operands of `la` and `lb` significant digits (both
/// non-zero) on the backend `via`: where `via` has a column kernel and neither operand is longer
/// than kernel/tuning.hpp's `wordmulupto`.
bool wordmulfits(std::size_t la, std::size_t lb, const transform::backend& via);

/// Writes the low `n` digits of the product of `a` (`la` digits) and `b` (`lb` digits), for
/// operands that `wordmulfits`, into out[0, n), reading both operands whole first (`out` may be
/// either). Returns false, writing nothing, where a digit is outside 0 to 9. Throws
/// std::bad_alloc (its scratch).
bool wordmul(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
             std::int8_t* out, std::size_t n, const transform::backend& via);
}  // namespace detail
}  // namespace QUORVEL
