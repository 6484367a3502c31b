// Internal: words and doubles in AVX2 registers, for integers below 2^52, through the bits of
// 2^52 + x (a double of that exponent holds x in its low 52 bits). Include only inside a region
// compiled for AVX2 (kernel/target.hpp): fma.cpp and recombinewide.cpp. Not installed.
#pragma once

#include <immintrin.h>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace avx2words
{
/// Words below 2^52 as doubles.
inline __m256d asdoubles(__m256i x)
{
    const __m256d two52 = _mm256_set1_pd(4503599627370496.0);
    return _mm256_sub_pd(_mm256_castsi256_pd(_mm256_or_si256(x, _mm256_castpd_si256(two52))),
                         two52);
}
/// Doubles that hold integers in [0, 2^52) as words.
inline __m256i aswords(__m256d x)
{
    const __m256d whole = _mm256_add_pd(x, _mm256_set1_pd(4503599627370496.0));
    return _mm256_and_si256(_mm256_castpd_si256(whole), _mm256_set1_epi64x((1LL << 52) - 1));
}
}  // namespace avx2words
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
