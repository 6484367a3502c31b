// Schoolbook on words of eight digits: a column of up to 18 products below 10^16 and the carry
// from below stays under 2^64, so each column is one word, split by 10^8.
#include "kernel/wordproduct.hpp"

#include "kernel/words.hpp"

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
static_assert(most * (wordbase - 1) * (wordbase - 1) + (most + 1) * wordbase < ~u64{0},
              "a column and its carry fit a word");

// The low m = M words of x * y (both of M words, zero above their own), then their digits: the
// columns with the word count fixed, so that the compiler lays every loop out flat.
template <std::size_t M>
void lowwords(const std::uint32_t* x, const std::uint32_t* y, std::int8_t* out, std::size_t n)
{
    u64 columns[M + 1] = {};  // one more: a pair of lanes may write past the last
#if defined(__SSE2__)
    // By rows, two 32 by 32 bit products at a time.
    u64 lanes[M + 1];  // y, a word per 64-bit lane
    for (std::size_t j = 0; j < M; ++j) lanes[j] = y[j];
    lanes[M] = 0;
    for (std::size_t i = 0; i < M; ++i)
    {
        const __m128i xi = _mm_set1_epi64x(static_cast<long long>(x[i]));
        for (std::size_t j = 0; j < M - i; j += 2)
        {
            auto* at = static_cast<__m128i*>(static_cast<void*>(columns + i + j));
            const __m128i yj =
                _mm_loadu_si128(static_cast<const __m128i*>(static_cast<const void*>(lanes + j)));
            _mm_storeu_si128(at, _mm_add_epi64(_mm_loadu_si128(at), _mm_mul_epu32(xi, yj)));
        }
    }
#else
    for (std::size_t k = 0; k < M; ++k)
        for (std::size_t i = 0; i <= k; ++i) columns[k] += u64{x[i]} * y[k - i];
#endif
    u64 carry = 0;
    std::uint32_t values[M < 4 ? 4 : M] = {};  // room for the four that fromwords reads at once
    for (std::size_t k = 0; k < M; ++k) values[k] = wordof(columns[k] + carry, carry);
    fromwords(values, out, n);
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
    const std::size_t m = wordsfor(n);
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
