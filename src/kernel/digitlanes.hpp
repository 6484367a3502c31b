// Internal: digits in and out of words of eight with SSE2, sixteen at a time. In: bytes widened to
// 16 bits, then pairs, quadruples and eights, each by one multiply-add of neighbouring lanes (by
// 10, 100, 10000). Out: each word split into halves below 10^4 (by a multiply), the halves into
// pairs and the pairs into digits in 16-bit lanes (multiplies that keep the high half divide by
// 100 and by 10). For the products of words
// (wordproduct.cpp) and the digits of limbs (digits.cpp), where the build has SSE2 (every
// x86-64 build).
// Not installed.
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

/// Two words below 10^8 as four 16-bit lanes below 10^4, least significant first.
inline u64 halves(std::uint32_t v0, std::uint32_t v1)
{
    const std::uint32_t h0 = v0 / 10000, h1 = v1 / 10000;
    return (v0 - h0 * 10000) | u64{h0} << 16 | u64{v1 - h1 * 10000} << 32 | u64{h1} << 48;
}

/// The sixteen digits of the lanes `first` at `at0` and those of `second` at `at1`.
inline void store16(std::int8_t* at0, u64 first, std::int8_t* at1, u64 second)
{
    const __m128i hundred = _mm_set1_epi16(100), ten = _mm_set1_epi16(10);
    const __m128i by100 = _mm_set1_epi16(5243), by10 = _mm_set1_epi16(6554);
    const __m128i x = _mm_set_epi64x(static_cast<long long>(second), static_cast<long long>(first));
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
