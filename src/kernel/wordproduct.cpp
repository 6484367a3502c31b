// Schoolbook on words of eight digits: a column of up to 18 products below 10^16 and the carry
// from below stays under 2^64, so each column is one word, split by 10^8.
#include "kernel/wordproduct.hpp"

#include "kernel/swar.hpp"

#include <algorithm>
#include <array>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace QUORVEL
{
namespace detail
{
namespace
{
constexpr std::size_t most = wordproductdigits / 8;
constexpr u64 wordbase = 100000000ULL;  // 10^8
static_assert(most * (wordbase - 1) * (wordbase - 1) + (most + 1) * wordbase < ~u64{0},
              "a column and its carry fit a word");

#if defined(__SSE2__)
// Sixteen digits at a time with SSE2, which every x86-64 processor has: bytes widened to 16 bits,
// then pairs, quadruples and eights, each by one multiply-add of neighbouring lanes (by 10, 100,
// 10000). Returns the number of words done; `bad` as below.
std::size_t vectorwords(const std::int8_t* d, std::size_t len, std::uint32_t* words, u64& bad)
{
    const __m128i zero = _mm_setzero_si128(), nine = _mm_set1_epi8(9);
    const __m128i tens = _mm_set1_epi32(10 << 16 | 1), hundreds = _mm_set1_epi32(100 << 16 | 1);
    const __m128i myriads = _mm_set1_epi32(10000 << 16 | 1);
    __m128i above = zero;
    const auto quads = [&](const std::int8_t* at)
    {
        const __m128i x =
            _mm_loadu_si128(static_cast<const __m128i*>(static_cast<const void*>(at)));
        above = _mm_or_si128(above, _mm_subs_epu8(x, nine));
        const __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi8(x, zero), tens);
        const __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi8(x, zero), tens);
        return _mm_madd_epi16(_mm_packs_epi32(lo, hi), hundreds);
    };
    std::size_t k = 0;
    for (; 8 * k + 32 <= len; k += 4)
    {
        const __m128i eights =
            _mm_madd_epi16(_mm_packs_epi32(quads(d + 8 * k), quads(d + 8 * k + 16)), myriads);
        _mm_storeu_si128(static_cast<__m128i*>(static_cast<void*>(words + k)), eights);
    }
    if (8 * k + 16 <= len)
    {
        const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(quads(d + 8 * k), zero), myriads);
        _mm_storel_epi64(static_cast<__m128i*>(static_cast<void*>(words + k)), eights);
        k += 2;
    }
    bad |= static_cast<u64>(_mm_movemask_epi8(_mm_cmpeq_epi8(above, zero)) ^ 0xFFFF);
    return k;
}
#else
std::size_t vectorwords(const std::int8_t*, std::size_t, std::uint32_t*, u64&)
{
    return 0;
}
#endif

// The words of the `len` digits at d, the last one partial where len is not a multiple of 8;
// `bad` is made non-zero where a byte is above 9. Returns the number of words.
std::size_t towords(const std::int8_t* d, std::size_t len, std::uint32_t* words, u64& bad)
{
    std::size_t k = vectorwords(d, len, words, bad);
    for (; 8 * k + 8 <= len; ++k)
    {
        const u64 x = swar::load8(d + 8 * k);
        bad |= swar::baddigits(x);
        words[k] = static_cast<std::uint32_t>(swar::gather8(x));
    }
    if (const std::size_t rest = len - 8 * k)
    {
        const u64 x = swar::loadtail(d, len, rest);
        bad |= swar::baddigits(x);
        words[k++] = static_cast<std::uint32_t>(swar::gather8(x));
    }
    return k;
}

// The low m = M words of x * y (both of M words, zero above their own), then their digits: the
// columns with the word count fixed, so that the compiler lays every loop out flat.
template <std::size_t M>
void lowwords(const std::uint32_t* x, const std::uint32_t* y, std::int8_t* out, std::size_t n)
{
    u64 columns[M];
    for (std::size_t k = 0; k < M; ++k)
    {
        u64 column = 0;
        for (std::size_t i = 0; i <= k; ++i) column += u64{x[i]} * y[k - i];
        columns[k] = column;
    }
    u64 carry = 0, last = 0;
    for (std::size_t k = 0; k < M; ++k)
    {
        const u64 column = columns[k] + carry;
        carry = column / wordbase;
        const u64 digits = swar::spread8(column - carry * wordbase);
        if (k + 1 < M || n % 8 == 0)
            swar::store8(out + 8 * k, last = digits);
        else
            swar::storetail(out, n, n % 8, digits, last);
    }
}

using lowwordsfunction = void (*)(const std::uint32_t*, const std::uint32_t*, std::int8_t*,
                                  std::size_t);

template <std::size_t... M>
constexpr std::array<lowwordsfunction, sizeof...(M)> lowwordstable(std::index_sequence<M...>)
{
    return {&lowwords<M + 1>...};
}

// lowwords for 1 to `most` words.
constexpr std::array<lowwordsfunction, most> bywords =
    lowwordstable(std::make_index_sequence<most>());
}  // namespace

bool wordproduct(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
                 std::int8_t* out, std::size_t n)
{
    // Words below 10^8 < 2^32, zero above the operands' own up to the result's m.
    const std::size_t m = n / 8 + (n % 8 != 0 ? 1 : 0);
    if (m == 0)
        return true;
    std::uint32_t x[most], y[most];
    u64 bad = 0;
    const std::size_t na = towords(a, la, x, bad), nb = towords(b, lb, y, bad);
    if (bad != 0)
        return false;
    std::fill(x + na, x + m, 0U);
    std::fill(y + nb, y + m, 0U);
    bywords[m - 1](x, y, out, n);
    return true;
}
}  // namespace detail
}  // namespace QUORVEL
