// Internal: eight decimal digits in a 64-bit word, one per byte, byte i the digit of 10^i, read
// and written so on any byte order, and worked on all at once (SIMD within a register): loads and
// stores, checks, and conversion from and to the value of the eight digits. Not installed.
#pragma once

#include "kernel/limb.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(_MSC_VER) && !defined(__clang__)
#include <stdlib.h>
#endif

namespace QUORVEL
{
namespace detail
{
namespace swar
{
constexpr u64 ones = 0x0101010101010101ULL;
constexpr u64 highbits = 0x8080808080808080ULL;

inline u64 load8(const std::int8_t* d)
{
    u64 x = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(&x, d, 8);
#else
    for (std::size_t i = 0; i < 8; ++i)  // byte i is digit i, on any byte order
        x |= static_cast<u64>(static_cast<std::uint8_t>(d[i])) << (8 * i);
#endif
    return x;
}

inline void store8(std::int8_t* d, u64 w)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(d, &w, 8);
#else
    for (std::size_t i = 0; i < 8; ++i) d[i] = static_cast<std::int8_t>(w >> (8 * i));
#endif
}

// The last r < 8 of the n digits at d, in the low bytes of a word (byte i is digit n - r + i):
// from the word that ends with them where there is one, else digit by digit.
inline u64 loadtail(const std::int8_t* d, std::size_t n, std::size_t r)
{
    if (n >= 8)
        return load8(d + n - 8) >> (8 * (8 - r));
    u64 x = 0;
    for (std::size_t i = 0; i < r; ++i)
        x |= static_cast<u64>(static_cast<std::uint8_t>(d[n - r + i])) << (8 * i);
    return x;
}

// Stores the low r bytes of w as the last r < 8 of the n digits at d, where `previous` holds the
// eight digits before them (when n >= 8): one word that ends where the digits do, with no read of
// what was just written.
inline void storetail(std::int8_t* d, std::size_t n, std::size_t r, u64 w, u64 previous)
{
    if (n >= 8)
    {
        store8(d + n - 8, (previous >> (8 * r)) | (w << (8 * (8 - r))));
        return;
    }
    for (std::size_t i = 0; i < r; ++i) d[n - r + i] = static_cast<std::int8_t>(w >> (8 * i));
}

// Eight bytes in memory order, and back: the text routines only reverse the order of bytes, which
// a byte swap of the native word does on either byte order.
inline u64 loadnative(const void* p)
{
    u64 x = 0;
    std::memcpy(&x, p, 8);
    return x;
}
inline void storenative(void* p, u64 x)
{
    std::memcpy(p, &x, 8);
}
inline u64 byteswap(u64 x)
{
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_bswap64(x);
#elif defined(_MSC_VER)
    return _byteswap_uint64(x);
#else
    x = ((x & 0x00FF00FF00FF00FFULL) << 8) | ((x >> 8) & 0x00FF00FF00FF00FFULL);
    x = ((x & 0x0000FFFF0000FFFFULL) << 16) | ((x >> 16) & 0x0000FFFF0000FFFFULL);
    return (x << 32) | (x >> 32);
#endif
}

// Nonzero when a byte of x is above 9 (seen as unsigned): adding 118 sets its top bit.
inline u64 baddigits(u64 x)
{
    return ((x + 0x7676767676767676ULL) | x) & highbits;
}

// Nonzero when a byte of x is not a character '0' to '9'.
inline u64 nondigits(u64 x)
{
    const u64 low = x & ~highbits;
    const u64 above = low + 0x4646464646464646ULL;    // top bit: low >= '9' + 1
    const u64 atleast = low + 0x5050505050505050ULL;  // top bit: low >= '0'
    return (x | above | ~atleast) & highbits;
}

// The value of eight digits, byte 0 the least significant: pairs, then quadruples, then eight,
// each step one multiply that adds ten (a hundred, ten thousand) times the next lane to each lane.
inline u64 gather8(u64 x)
{
    x = (x + ((x * 10) >> 8)) & 0x00FF00FF00FF00FFULL;
    x = (x + ((x * 100) >> 16)) & 0x0000FFFF0000FFFFULL;
    return (x + ((x * 10000) >> 32)) & 0xFFFFFFFFULL;
}

// Eight digits of y < 10^8, least significant first, one per byte of the result: two four-digit
// halves, split into pairs (division by 100 as a multiply-shift), then into digits (by 10).
inline u64 spread8(u64 y)
{
    const u64 hi4 = y / 10000;
    u64 x = (y - hi4 * 10000) | (hi4 << 32);  // 32-bit lanes below 10^4
    const u64 hundreds = ((x * 5243) >> 19) & 0x0000007F0000007FULL;
    x = (x - hundreds * 100) | (hundreds << 16);  // 16-bit lanes below 100
    const u64 tens = ((x * 103) >> 10) & 0x000F000F000F000FULL;
    return (x - tens * 10) | (tens << 8);  // bytes below 10
}

}  // namespace swar
}  // namespace detail
}  // namespace QUORVEL
