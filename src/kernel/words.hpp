// Internal: digit strings in and out of words of eight digits (base 10^8, one word a uint32_t),
// sixteen digits at a time with SSE2 where the build has it (kernel/digitlanes.hpp), eight at a
// time with SWAR arithmetic elsewhere; for the products of words (wordproduct.cpp, wordmul.cpp).
// Not installed.
#pragma once

#include "kernel/limb.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// The base of a word.
constexpr u64 wordbase = 100000000ULL;  // 10^8

/// Words that hold `digits` decimal digits.
constexpr std::size_t wordsfor(std::size_t digits)
{
    return digits / 8 + (digits % 8 != 0 ? 1 : 0);
}

/// The words of the `len` digits at d (wordsfor(len) of them, the last one partial where len is
/// not a multiple of 8); `bad` is made non-zero where a byte is above 9. Returns the number of
/// words.
std::size_t towords(const std::int8_t* d, std::size_t len, std::uint32_t* words, u64& bad);

/// Writes the low `n` digits of the words at `values` (words below 10^8, wordsfor(n) of them read).
void fromwords(const std::uint32_t* values, std::int8_t* out, std::size_t n);
}  // namespace detail
}  // namespace QUORVEL
