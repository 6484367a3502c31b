// Digit strings worked on eight digits at a time (kernel/swar.hpp). Decimal carries and borrows
// travel through a word as binary ones do, after each digit is biased by 246 so that a digit sum
// of ten or more overflows its byte.
#include "kernel/digits.hpp"

#include "kernel/digitlanes.hpp"
#include "kernel/limb.hpp"
#include "kernel/swar.hpp"

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace QUORVEL
{
namespace detail
{
namespace
{
using swar::baddigits;
using swar::byteswap;
using swar::gather8;
using swar::highbits;
using swar::load8;
using swar::loadnative;
using swar::loadtail;
using swar::nondigits;
using swar::ones;
using swar::spread8;
using swar::store8;
using swar::storenative;
using swar::storetail;

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
    if (i < len)
        bad |= baddigits(loadtail(d, len, len - i));
    return bad == 0;
}

bool alldecimal(const std::int8_t* a, const std::int8_t* b, std::size_t len)
{
    u64 bad = 0;
    std::size_t i = 0;
    for (; i + 8 <= len; i += 8) bad |= baddigits(load8(a + i)) | baddigits(load8(b + i));
    if (i < len)
        bad |= baddigits(loadtail(a, len, len - i)) | baddigits(loadtail(b, len, len - i));
    return bad == 0;
}

std::size_t significant(const std::int8_t* d, std::size_t len)
{
#if defined(QUORVEL_DIGIT_LANES)
    // Sixty-four zero digits at a time (the top half of a number held in twice its width), then
    // sixteen.
    const auto at = [d](std::size_t i)
    { return _mm_loadu_si128(static_cast<const __m128i*>(static_cast<const void*>(d + i))); };
    const auto zero = [](__m128i x)
    { return _mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_setzero_si128())) == 0xFFFF; };
    for (; len >= 64; len -= 64)
        if (!zero(_mm_or_si128(_mm_or_si128(at(len - 64), at(len - 48)),
                               _mm_or_si128(at(len - 32), at(len - 16)))))
            break;
    while (len >= 16 && zero(at(len - 16))) len -= 16;
#endif
    while (len >= 8 && load8(d + len - 8) == 0) len -= 8;
    while (len > 0 && d[len - 1] == 0) --len;
    return len;
}

namespace
{
// out = a + b modulo 10^n; returns the carry out. Where `check`, `bad` collects the top bits of
// bytes of either operand above 9 (checked in the same pass: the caller decides what a result
// from such digits is worth).
template <bool check>
bool addwords(const std::int8_t* a, const std::int8_t* b, std::int8_t* out, std::size_t n, u64& bad)
{
    // The last r digits (in the low bytes of a word) are read before anything is written, as
    // `out` may be `a` or `b`.
    const std::size_t r = n % 8;
    const u64 ta = r != 0 ? loadtail(a, n, r) : 0, tb = r != 0 ? loadtail(b, n, r) : 0;
    u64 carry = 0, last = 0, above = 0;
    std::size_t i = 0;
#if defined(__SSE2__) && defined(__x86_64__)
    if (n >= 16)
    {
        // Sixteen digits at a time, the same sums in two 64-bit lanes: the carry out of the low
        // lane goes into the high one, the high one's into the next block's low one.
        const __m128i bias = _mm_set1_epi8(static_cast<char>(0xF6)), nine = _mm_set1_epi8(9);
        const __m128i zero = _mm_setzero_si128(), allset = _mm_set1_epi64x(-1);
        __m128i carryin = zero, outside = zero, sum = zero;
        for (; i + 16 <= n; i += 16)
        {
            const __m128i xa =
                _mm_loadu_si128(static_cast<const __m128i*>(static_cast<const void*>(a + i)));
            const __m128i xb =
                _mm_loadu_si128(static_cast<const __m128i*>(static_cast<const void*>(b + i)));
            if constexpr (check)
                outside = _mm_or_si128(
                    outside, _mm_or_si128(_mm_subs_epu8(xa, nine), _mm_subs_epu8(xb, nine)));
            __m128i w = _mm_add_epi64(_mm_add_epi64(_mm_add_epi64(xa, xb), bias), carryin);
            // A lane's top byte overflowed where its top bit is clear.
            w = _mm_add_epi64(w, _mm_slli_si128(_mm_srli_epi64(_mm_xor_si128(w, allset), 63), 8));
            carryin = _mm_srli_si128(_mm_srli_epi64(_mm_xor_si128(w, allset), 63), 8);
            // Bytes of 246 or more (top bit set) lose 246.
            sum = _mm_sub_epi8(w, _mm_and_si128(_mm_cmpgt_epi8(zero, w), bias));
            _mm_storeu_si128(static_cast<__m128i*>(static_cast<void*>(out + i)), sum);
        }
        carry = static_cast<u64>(_mm_cvtsi128_si64(carryin));
        last = static_cast<u64>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sum, sum)));
        if constexpr (check)
            above = _mm_movemask_epi8(_mm_cmpeq_epi8(outside, zero)) == 0xFFFF ? 0 : highbits;
    }
#endif
    for (; i + 8 <= n; i += 8)
    {
        const u64 xa = load8(a + i), xb = load8(b + i);
        if constexpr (check)
            above |= (xa + 0x7676767676767676ULL) | xa | (xb + 0x7676767676767676ULL) | xb;
        // Each byte holds a + b + 246 (+ the carry from below); one of ten or more overflows into
        // the next byte as the decimal carry, and so does the top byte out of the word.
        const u64 w = xa + xb + 0xF6F6F6F6F6F6F6F6ULL + carry;
        carry = ~w >> 63;  // the top byte overflowed: it holds a digit below 10
        last = unbias(w);
        store8(out + i, last);
    }
    if (r != 0)
    {
        if constexpr (check)
            above |= (ta + 0x7676767676767676ULL) | ta | (tb + 0x7676767676767676ULL) | tb;
        // The bias in the r bytes alone: the carry out of the top one lands in byte r.
        const u64 low = (u64{1} << (8 * r)) - 1;
        const u64 w = ta + tb + (0xF6F6F6F6F6F6F6F6ULL & low) + carry;
        carry = (w >> (8 * r)) & 1;
        storetail(out, n, r, unbias(w & low), last);
    }
    if constexpr (check)
        bad |= above & highbits;
    return carry != 0;
}
}  // namespace

bool adddigits(const std::int8_t* a, const std::int8_t* b, std::int8_t* out, std::size_t n)
{
    u64 unused = 0;
    return addwords<false>(a, b, out, n, unused);
}

bool addchecked(const std::int8_t* a, const std::int8_t* b, std::int8_t* out, std::size_t n)
{
    u64 bad = 0;
    addwords<true>(a, b, out, n, bad);
    return bad == 0;
}

bool subtractdigits(const std::int8_t* a, const std::int8_t* b, std::int8_t* out, std::size_t n)
{
    const std::size_t r = n % 8;
    const u64 ta = r != 0 ? loadtail(a, n, r) : 0, tb = r != 0 ? loadtail(b, n, r) : 0;
    u64 borrow = 0, last = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
    {
        // A byte below zero wraps to 246 or more and borrows from the next, as in binary.
        const u64 w = load8(a + i) - load8(b + i) - borrow;
        borrow = w >> 63;  // the top digit went below zero
        last = unbias(w);
        store8(out + i, last);
    }
    if (r != 0)
    {
        // A borrow out of the top of the last r digits sets byte r.
        const u64 low = (u64{1} << (8 * r)) - 1;
        const u64 w = ta - tb - borrow;
        borrow = (w >> (8 * r)) & 1;
        storetail(out, n, r, unbias(w & low), last);
    }
    return borrow != 0;
}

int comparedigits(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb)
{
    if (la != lb)
    {
        la = significant(a, la);
        lb = significant(b, lb);
        if (la != lb)
            return la < lb ? -1 : 1;
    }
    // Equally long: the top digits first, leading zeros comparing equal.
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

namespace
{
// The k <= 8 digits from `from` of a string whose digits reach at least to from + k, in the low
// bytes of a word (0 for none).
inline u64 chunk(const std::int8_t* d, std::size_t from, std::size_t k)
{
    return k >= 8 ? load8(d + from) : k == 0 ? 0 : loadtail(d, from + k, k);
}

// 10^19, which has its top bit set, and its reciprocal for divnorm.
constexpr u64 ten19 = 10000000000000000000ULL;
constexpr u64 ten19inverse =
    static_cast<u64>(((static_cast<u128>(~ten19) << 64) | ~u64{0}) / ten19);
}  // namespace

namespace
{
// The value of n digits in W words (the last read as the word that ends with the digits, shifted
// down to them; n >= 8), the count known at compile time so that the loop unrolls. Words of eight
// digits g0 to g4, then the value split at 10^19 into two words: g2 holds digits 16 to 23, across
// the split.
template <std::size_t W>
bool valuewords(const std::int8_t* d, std::size_t n, u128& v)
{
    u64 g[5] = {}, bad = 0;
    for (std::size_t k = 0; k < W; ++k)
    {
        const u64 w = k + 1 < W ? load8(d + 8 * k) : load8(d + n - 8) >> (64 - 8 * (n - 8 * k));
        bad |= baddigits(w);
        g[k] = gather8(w);
    }
    const u64 low = g[0] + g[1] * 100000000ULL + (g[2] % 1000) * 10000000000000000ULL;
    const u64 high = g[2] / 1000 + g[3] * 100000 + g[4] * 10000000000000ULL;
    v = static_cast<u128>(high) * ten19 + low;
    return bad == 0;
}

// Writes the n digits of v < 10^n in W words, the last one the word that ends with the digits.
template <std::size_t W>
void digitwords(u128 v, std::int8_t* out, std::size_t n)
{
    u64 low = static_cast<u64>(v), high = 0;
    if (W > 2)
        high = divnorm(static_cast<u64>(v >> 64), static_cast<u64>(v), ten19, ten19inverse, low);
    // Words of eight digits, the split at 10^19 running through the third.
    const u64 l1 = low / 100000000ULL, l2 = l1 / 100000000ULL;
    const u64 h1 = high / 100000;
    const u64 g[5] = {low - l1 * 100000000ULL, l1 - l2 * 100000000ULL,
                      l2 + (high - h1 * 100000) * 1000, h1 % 100000000ULL, h1 / 100000000ULL};
    u64 previous = 0;
    for (std::size_t k = 0; k + 1 < W; ++k)
    {
        previous = spread8(g[k]);
        store8(out + 8 * k, previous);
    }
    const std::size_t r = n - 8 * (W - 1);
    if (r == 8)
        store8(out + n - 8, spread8(g[W - 1]));
    else
        storetail(out, n, r, spread8(g[W - 1]), previous);
}
}  // namespace

bool smallvalue(const std::int8_t* d, std::size_t n, u128& v)
{
    switch ((n + 7) / 8)
    {
        case 0:
            v = 0;
            return true;
        case 2:
            return valuewords<2>(d, n, v);
        case 3:
            return valuewords<3>(d, n, v);
        case 4:
            return valuewords<4>(d, n, v);
        case 5:
            return valuewords<5>(d, n, v);
        default:  // fewer than nine digits
        {
            const u64 w = chunk(d, 0, n);
            v = gather8(w);
            return baddigits(w) == 0;
        }
    }
}

void smalldigits(u128 v, std::int8_t* out, std::size_t n)
{
    switch ((n + 7) / 8)
    {
        case 0:
            return;
        case 2:
            return digitwords<2>(v, out, n);
        case 3:
            return digitwords<3>(v, out, n);
        case 4:
            return digitwords<4>(v, out, n);
        case 5:
            return digitwords<5>(v, out, n);
        default:  // fewer than nine digits
            if (n == 8)
                store8(out, spread8(static_cast<u64>(v)));
            else
                storetail(out, n, n, spread8(static_cast<u64>(v)), 0);
    }
}

namespace
{
// addsigned for n <= 64 digits: every word of both read once, into registers, and x written only
// when the result stands.
addition addshort(std::int8_t* x, bool xminus, const std::int8_t* y, bool yminus, std::size_t n,
                  bool& minus)
{
    const std::size_t words = (n + 7) / 8, r = n - (words - 1) * 8;  // the last word holds r
    u64 a[8] = {}, b[8] = {}, bad = 0;  // zeros: the analyser cannot see that words >= 1
    for (std::size_t k = 0; k < words; ++k)
    {
        a[k] = k + 1 < words ? load8(x + 8 * k) : chunk(x, 8 * k, r);
        b[k] = k + 1 < words ? load8(y + 8 * k) : chunk(y, 8 * k, r);
        bad |= baddigits(a[k]) | baddigits(b[k]);
    }
    if (bad != 0)
        return addition::baddigit;
    const u64 top = r == 8 ? ~u64{0} : (u64{1} << (8 * r)) - 1;  // the digits of the last word
    u64 c = 0, any = 0;
    if (xminus == yminus)
    {
        for (std::size_t k = 0; k < words; ++k)
        {
            const u64 bias = k + 1 < words ? 0xF6F6F6F6F6F6F6F6ULL : 0xF6F6F6F6F6F6F6F6ULL & top;
            const u64 w = a[k] + b[k] + bias + c;
            c = k + 1 < words || r == 8 ? ~w >> 63 : (w >> (8 * r)) & 1;
            a[k] = unbias(w & (k + 1 < words ? ~u64{0} : top));
            any |= a[k];
        }
        if (c != 0)
            return addition::overflow;
        minus = xminus && any != 0;
    }
    else
    {
        // The larger magnitude less the smaller: compared from the top word down.
        std::size_t k = words;
        while (k-- > 0 && a[k] == b[k])
        {
        }
        const bool swap = k < words && a[k] < b[k];
        for (std::size_t i = 0; i < words; ++i)
        {
            const u64 p = swap ? b[i] : a[i], q = swap ? a[i] : b[i];
            const u64 w = p - q - c;
            c = i + 1 < words || r == 8 ? w >> 63 : (w >> (8 * r)) & 1;
            a[i] = unbias(w & (i + 1 < words ? ~u64{0} : top));
            any |= a[i];
        }
        minus = (swap ? yminus : xminus) && any != 0;
    }
    for (std::size_t k = 0; k + 1 < words; ++k) store8(x + 8 * k, a[k]);
    if (r == 8)
        store8(x + 8 * (words - 1), a[words - 1]);
    else
        storetail(x, n, r, a[words - 1], words >= 2 ? a[words - 2] : 0);
    return addition::done;
}
}  // namespace

addition addsigned(std::int8_t* x, bool xminus, const std::int8_t* y, bool yminus, std::size_t n,
                   bool& minus)
{
    if (n == 0)
    {
        minus = false;
        return addition::done;
    }
    if (n > 8 && n <= 64)
        return addshort(x, xminus, y, yminus, n, minus);
    u64 bad = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) bad |= baddigits(load8(x + i)) | baddigits(load8(y + i));
    if (i < n)
        bad |= baddigits(loadtail(x, n, n - i)) | baddigits(loadtail(y, n, n - i));
    if (bad != 0)
        return addition::baddigit;
    // A "-0" needs no care: against a value of the other sign it is the smaller magnitude, and a
    // zero result is never negative.
    if (xminus == yminus)
    {
        if (adddigits(x, y, x, n))
        {
            subtractdigits(x, y, x, n);  // sums modulo 10^n are undone exactly
            return addition::overflow;
        }
        minus = xminus && significant(x, n) > 0;
        return addition::done;
    }
    if (comparedigits(x, n, y, n) >= 0)
    {
        subtractdigits(x, y, x, n);
        minus = xminus;
    }
    else
    {
        subtractdigits(y, x, x, n);
        minus = yminus;
    }
    minus = minus && significant(x, n) > 0;
    return addition::done;
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
