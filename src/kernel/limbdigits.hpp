// Internal: digit strings in and out of limbs of base 10^18, each limb's eighteen digits two
// words of eight (below 10^8) and the top two; the pieces of that split shared by the portable
// and the vector paths (kernel/worddigits.cpp). Not installed.
#pragma once

#include "kernel/limb.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
struct wordkernels;

/// Packs `len` digits into `count` limbs of base 10^18 (zero above the digits), with the vector
/// kernels of the operation's backend where it has them (kernel/wordcolumns.hpp; null: SSE2 or
/// plain words). Digits outside 0 to 9 are read modulo 10.
void pack(const std::int8_t* d, std::size_t len, std::uint64_t* limbs, std::size_t count,
          const wordkernels* vector = nullptr);
/// Writes the low `n` digits of the limbs (limbs below 10^18), with the vector kernels of the
/// operation's backend where it has them, as for `pack`.
void unpack(const std::uint64_t* limbs, std::int8_t* out, std::size_t n,
            const wordkernels* vector = nullptr);

/// A limb v < 10^18 as top 10^16 + high 10^8 + low: two words below 10^8 and its top two digits.
struct limbwords
{
    u64 low, high, top;
};
inline limbwords wordsof(u64 v)
{
    const u64 q = v / 100000000ULL, q2 = q / 100000000ULL;
    return {v - q * 100000000ULL, q - q2 * 100000000ULL, q2};
}
/// The top two digits of a limb (top < 100) as a word of two digit bytes, the units in the low
/// one.
inline u64 toppair(u64 top)
{
    return top % 10 | (top / 10) << 8;
}
/// The top two digits of the limb whose digits start at d (its positions 16 and 17), as that word.
inline u64 loadtop(const std::int8_t* d)
{
    return static_cast<std::uint8_t>(d[16]) | u64{static_cast<std::uint8_t>(d[17])} << 8;
}
}  // namespace detail
}  // namespace QUORVEL
