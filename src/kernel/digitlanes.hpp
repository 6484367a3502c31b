// Internal: digits in and out of words of eight with SSE2, sixteen at a time. In: bytes widened
// to 16 bits, then pairs, quadruples and eights, each by one multiply-add of neighbouring lanes
// (by 10, 100, 10000). Out: four words split into halves below 10^4 (by 32-bit multiplies), the
// halves into pairs and the pairs into digits in 16-bit lanes (multiplies that keep the high half
// divide by 100 and by 10). For the products of words (words.cpp) and the digits of limbs
// (digits.cpp), where the build has SSE2 (every x86-64 build). Not installed.
#pragma once

#include "kernel/limb.hpp"

#if defined(__SSE2__)
#define QUORVEL_DIGIT_LANES 1  // NOLINT(cppcoreguidelines-macro-usage): for `#if`
#include <cstdint>
#include <emmintrin.h>

namespace QUORVEL
{
namespace detail
{
namespace lanes
{
/// The four values below 10^4 of the sixteen digits at `at` (the least significant first), in
/// 32-bit lanes; bytes above 9 (read unsigned) leave bytes of `above` non-zero.
inline __m128i quads(const std::int8_t* at, __m128i& above)
{
    const __m128i zero = _mm_setzero_si128(), tens = _mm_set1_epi32(10 << 16 | 1);
    const __m128i x = _mm_loadu_si128(static_cast<const __m128i*>(static_cast<const void*>(at)));
    above = _mm_or_si128(above, _mm_subs_epu8(x, _mm_set1_epi8(9)));
    const __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi8(x, zero), tens);
    const __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi8(x, zero), tens);
    return _mm_madd_epi16(_mm_packs_epi32(lo, hi), _mm_set1_epi32(100 << 16 | 1));
}
/// The words below 10^8 of two of those: four 32-bit lanes, the two of `low` first.
inline __m128i eights(__m128i low, __m128i high)
{
    return _mm_madd_epi16(_mm_packs_epi32(low, high), _mm_set1_epi32(10000 << 16 | 1));
}
/// Whether `above` marks a byte above 9.
inline bool anyabove(__m128i above)
{
    return _mm_movemask_epi8(_mm_cmpeq_epi8(above, _mm_setzero_si128())) != 0xFFFF;
}

/// Four words below 10^8 (32-bit lanes) as eight 16-bit lanes below 10^4, least significant
/// first: the high half is w * ceil(2^45 / 10^4) >> 45 (exact below 2^27), the low one w minus
/// ten thousand times it.
inline __m128i quarters(__m128i w)
{
    const __m128i magic = _mm_set1_epi32(static_cast<int>(3518437209U));
    const __m128i even = _mm_srli_epi64(_mm_mul_epu32(w, magic), 45);
    const __m128i odd = _mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(w, 32), magic), 45);
    const __m128i high = _mm_or_si128(even, _mm_slli_epi64(odd, 32));  // below 10^4 per word
    const __m128i low = _mm_sub_epi32(w, _mm_madd_epi16(high, _mm_set1_epi32(10000)));
    return _mm_or_si128(low, _mm_slli_epi32(high, 16));
}

/// The sixteen digits of the lanes below 10^4 of `x`: those of its low half at `at0`, of its high
/// half at `at1`.
inline void store16(std::int8_t* at0, __m128i x, std::int8_t* at1)
{
    const __m128i hundred = _mm_set1_epi16(100), ten = _mm_set1_epi16(10);
    const __m128i by100 = _mm_set1_epi16(5243), by10 = _mm_set1_epi16(6554);
    const __m128i high = _mm_srli_epi16(_mm_mulhi_epu16(x, by100), 3);  // x / 100
    const __m128i low = _mm_sub_epi16(x, _mm_mullo_epi16(high, hundred));
    std::int8_t* const at[2] = {at0, at1};
    for (std::size_t j = 0; j < 2; ++j)
    {
        const __m128i pairs =
            j == 0 ? _mm_unpacklo_epi16(low, high) : _mm_unpackhi_epi16(low, high);
        const __m128i tens = _mm_mulhi_epu16(pairs, by10);  // pairs / 10
        const __m128i units = _mm_sub_epi16(pairs, _mm_mullo_epi16(tens, ten));
        _mm_storeu_si128(static_cast<__m128i*>(static_cast<void*>(at[j])),
                         _mm_or_si128(units, _mm_slli_epi16(tens, 8)));
    }
}

}  // namespace lanes
}  // namespace detail
}  // namespace QUORVEL
#endif
