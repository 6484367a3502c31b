// Internal: the low digits of products of short digit strings, in words of eight digits (base
// 10^8), whose digits go in and out of a word at a few instructions each: for the widths most
// programs use, where packing into limbs of 18 digits would cost more than the product. Not
// installed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// The longest result that `wordproduct` forms.
constexpr std::size_t wordproductdigits = 144;

/// Writes the low `n` <= wordproductdigits digits of the product of `a` (`la` <= n digits) and
/// `b` (`lb` <= n digits) into out[0, n), reading both operands whole first (`out` may be either).
/// Returns false, writing nothing, where a digit is outside 0 to 9.
bool wordproduct(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
                 std::int8_t* out, std::size_t n);
}  // namespace detail
}  // namespace QUORVEL
