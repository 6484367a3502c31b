// Internal: numbers of up to 38 digits held in two words, for the paths of small operands: powers
// of ten, and the 256-bit products and quotients of the fixed-point arithmetic. Not installed.
#pragma once

#include "kernel/limb.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// The most digits a two-word number holds whatever they are (10^38 < 2^128); digit strings of
/// up to this many go in and out of two words through `smallvalue` and `smalldigits`
/// (kernel/digits.hpp).
constexpr std::size_t twowords = 38;

/// 10^k, for k <= 38.
u128 power10(std::size_t k);

/// A number of four words, the least significant first.
struct u256
{
    u64 w[4];
};
/// a * b, exactly.
u256 multiply(u128 a, u128 b);
/// q = n / d and r = n mod d, for d > 0, where the quotient fits two words; false otherwise.
bool divide(const u256& n, u128 d, u128& q, u128& r);
}  // namespace detail
}  // namespace QUORVEL
