// Digit strings worked on eight digits at a time. A word of eight digit bytes is read so that
// byte i is digit i (load8/store8, on any byte order); decimal carries and borrows then travel
// through the word as binary ones do, after each digit is biased by 246 so that a digit sum of
// ten or more overflows its byte.
#include "kernel/digits.hpp"

#include "kernel/limb.hpp"

#include <algorithm>
#include <cstring>

#if defined(_MSC_VER) && !defined(__clang__)
#include <stdlib.h>
#endif

namespace QUORVEL
{
namespace detail
{
namespace
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

// The value of eight digits, byte 0 the least significant: pairs, then quadruples, then eight.
inline u64 gather8(u64 x)
{
    x = (x & 0x00FF00FF00FF00FFULL) + ((x >> 8) & 0x00FF00FF00FF00FFULL) * 10;
    x = (x & 0x0000FFFF0000FFFFULL) + ((x >> 16) & 0x0000FFFF0000FFFFULL) * 100;
    return (x & 0xFFFFFFFFULL) + (x >> 32) * 10000;
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

// Writes the 18 digits of v < 10^18 at d.
inline void unpacklimb(u64 v, std::int8_t* d)
{
    const u64 q = v / 100000000ULL, q2 = q / 100000000ULL;
    store8(d, spread8(v - q * 100000000ULL));
    store8(d + 8, spread8(q - q2 * 100000000ULL));
    d[16] = static_cast<std::int8_t>(q2 % 10);
    d[17] = static_cast<std::int8_t>(q2 / 10);
}

// Bytes of a word that hold 246 or more (a digit that did not carry, or one that borrowed) lose
// 246, which leaves the digit.
inline u64 unbias(u64 w)
{
    return w - ((w >> 7) & ones) * 0xF6;
}
}  // namespace

bool alldecimal(const std::int8_t* d, std::size_t len)
{
    u64 bad = 0;
    std::size_t i = 0;
    for (; i + 8 <= len; i += 8) bad |= baddigits(load8(d + i));
    for (; i < len; ++i) bad |= static_cast<std::uint8_t>(d[i]) > 9;
    return bad == 0;
}

std::size_t significant(const std::int8_t* d, std::size_t len)
{
    while (len >= 8 && load8(d + len - 8) == 0) len -= 8;
    while (len > 0 && d[len - 1] == 0) --len;
    return len;
}

void pack(const std::int8_t* d, std::size_t len, u64* limbs, std::size_t count)
{
    for (std::size_t l = 0; l < count; ++l)
    {
        const std::size_t lo = std::min(len, l * limbdigits);
        const std::size_t hi = std::min(len, lo + limbdigits);
        if (hi - lo == limbdigits)
        {
            const u64 x0 = load8(d + lo), x1 = load8(d + lo + 8);
            const auto t0 = static_cast<std::uint8_t>(d[lo + 16]);
            const auto t1 = static_cast<std::uint8_t>(d[lo + 17]);
            if ((baddigits(x0) | baddigits(x1)) == 0 && t0 <= 9 && t1 <= 9)
            {
                limbs[l] = gather8(x0) + gather8(x1) * 100000000ULL +
                           (t0 + 10 * u64{t1}) * 10000000000000000ULL;
                continue;
            }
        }
        u64 v = 0;
        for (std::size_t i = hi; i-- > lo;)
        {
            const int digit = d[i] % 10;
            v = v * 10 + static_cast<u64>(digit < 0 ? digit + 10 : digit);
        }
        limbs[l] = v;
    }
}

void unpack(const u64* limbs, std::int8_t* out, std::size_t n)
{
    // Zero limbs at the top are zero digits: no need to split them.
    const std::size_t used = std::min(n, limblength(limbs, limbsfor(n)) * limbdigits);
    std::fill(out + used, out + n, std::int8_t{0});
    n = used;
    const std::size_t full = n / limbdigits;
    for (std::size_t l = 0; l < full; ++l) unpacklimb(limbs[l], out + l * limbdigits);
    if (const std::size_t rest = n - full * limbdigits)
    {
        std::int8_t last[limbdigits];
        unpacklimb(limbs[full], last);
        std::memcpy(out + full * limbdigits, last, rest);
    }
}

bool adddigits(const std::int8_t* a, const std::int8_t* b, std::int8_t* out, std::size_t n)
{
    u64 carry = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
    {
        // Each byte holds a + b + 246 (+ the carry from below); one of ten or more overflows into
        // the next byte as the decimal carry, and so does the top byte out of the word.
        const u64 w = load8(a + i) + load8(b + i) + 0xF6F6F6F6F6F6F6F6ULL + carry;
        carry = ~w >> 63;  // the top byte overflowed: it holds a digit below 10
        store8(out + i, unbias(w));
    }
    for (; i < n; ++i)
    {
        const int s = a[i] + b[i] + static_cast<int>(carry);
        carry = s >= 10 ? 1U : 0U;
        out[i] = static_cast<std::int8_t>(s - (carry != 0 ? 10 : 0));
    }
    return carry != 0;
}

bool subtractdigits(const std::int8_t* a, const std::int8_t* b, std::int8_t* out, std::size_t n)
{
    u64 borrow = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
    {
        // A byte below zero wraps to 246 or more and borrows from the next, as in binary.
        const u64 w = load8(a + i) - load8(b + i) - borrow;
        borrow = w >> 63;  // the top digit went below zero
        store8(out + i, unbias(w));
    }
    for (; i < n; ++i)
    {
        const int s = a[i] - b[i] - static_cast<int>(borrow);
        borrow = s < 0 ? 1U : 0U;
        out[i] = static_cast<std::int8_t>(s + (borrow != 0 ? 10 : 0));
    }
    return borrow != 0;
}

int comparedigits(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb)
{
    la = significant(a, la);
    lb = significant(b, lb);
    if (la != lb)
        return la < lb ? -1 : 1;
    std::size_t i = la;
    for (; i >= 8; i -= 8)
    {
        // Read so that the higher digit is the more significant byte: words compare as the digits.
        const u64 x = load8(a + i - 8), y = load8(b + i - 8);
        if (x != y)
            return x < y ? -1 : 1;
    }
    while (i-- > 0)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return 0;
}

std::size_t firstnondigit(const char* text, std::size_t len)
{
    std::size_t i = 0;
    while (i + 8 <= len && nondigits(loadnative(text + i)) == 0) i += 8;
    while (i < len && text[i] >= '0' && text[i] <= '9') ++i;
    return i;
}

void digitsfromtext(const char* text, std::size_t len, std::int8_t* out)
{
    std::size_t i = 0;
    for (; i + 8 <= len; i += 8)
        storenative(out + i, byteswap(loadnative(text + len - i - 8) - 0x3030303030303030ULL));
    for (; i < len; ++i) out[i] = static_cast<std::int8_t>(text[len - 1 - i] - '0');
}

void textfromdigits(const std::int8_t* d, std::size_t n, char* out)
{
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        storenative(out + i, byteswap(loadnative(d + n - i - 8)) + 0x3030303030303030ULL);
    for (; i < n; ++i) out[i] = static_cast<char>('0' + d[n - 1 - i]);
}
}  // namespace detail
}  // namespace QUORVEL
