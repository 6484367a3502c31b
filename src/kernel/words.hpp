// Internal: digit strings in and out of words of eight digits (base 10^8, one word a uint32_t),
// sixteen digits at a time with SSE2 where the build has it (kernel/digitlanes.hpp), eight at a
// time with SWAR arithmetic elsewhere; for the products of words (wordproduct.cpp, wordmul.cpp).
// Not installed.
#pragma once

#include "kernel/digitlanes.hpp"
#include "kernel/limb.hpp"
#include "kernel/swar.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// The base of a word.
constexpr u64 wordbase = 100000000ULL;  // 10^8

/// The word of t modulo 10^8, its quotient going to `carry`: the step of every carry in words.
inline std::uint32_t wordof(u64 t, u64& carry)
{
    carry = t / wordbase;
    return static_cast<std::uint32_t>(t - carry * wordbase);
}

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
/// Inline: the products of a few words call it once each.
inline void fromwords(const std::uint32_t* values, std::int8_t* out, std::size_t n)
{
    const std::size_t full = n / 8;
    std::size_t k = 0;
#if defined(QUORVEL_DIGIT_LANES)
    for (; k + 4 <= full; k += 4)
        lanes::store16(out + 8 * k,
                       lanes::quarters(_mm_loadu_si128(
                           static_cast<const __m128i*>(static_cast<const void*>(values + k)))),
                       out + 8 * k + 16);
#endif
    for (; k < full; ++k) swar::store8(out + 8 * k, swar::spread8(values[k]));
    if (n % 8 != 0)  // a last word of n % 8 digits, stored so that it ends with the string
        swar::storetail(out, n, n % 8, swar::spread8(values[full]),
                        full > 0 ? swar::load8(out + 8 * (full - 1)) : 0);
}
}  // namespace detail
}  // namespace QUORVEL
