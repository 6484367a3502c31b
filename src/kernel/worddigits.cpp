// Digit strings in and out of words of eight digits with AVX2, 64 digits at a time: the steps of
// the SSE2 lanes (kernel/digitlanes.hpp) on both 128-bit halves of a register at once, with a last
// shuffle across the halves. In: bytes widened to 16 bits, then pairs, quadruples and eights, each
// by one multiply-add of neighbouring lanes. Out: eight words become sixteen quarters below 10^4
// (by 32-bit multiplies), the quarters pairs below 100 and the pairs digits in 16-bit lanes
// (multiplies that keep the high half divide by 100 and by 10). What is left over (fewer than 64
// digits) goes through `towords` and `fromwords`. The same steps take digits in and out of limbs
// of base 10^18 four limbs at a time (each limb's low sixteen digits as two words, its top two
// apart); the rest of the limbs go through `pack` and `unpack`.
#include "kernel/limbdigits.hpp"
#include "kernel/target.hpp"
#include "kernel/wordcolumns.hpp"
#include "kernel/words.hpp"

#include <cstring>

#if defined(QUORVEL_X86_TARGETS)
#include <immintrin.h>

namespace QUORVEL
{
namespace detail
{
QUORVEL_TARGET_BEGIN("avx2")
namespace
{
__m256i load(const void* at)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(at));
}

// The eight values below 10^4 of the 32 digits in x (the least significant first; those of the
// low sixteen in the low half); bytes above 9 (read unsigned) leave bytes of `above` non-zero.
__m256i quads(__m256i x, __m256i& above)
{
    const __m256i zero = _mm256_setzero_si256(), tens = _mm256_set1_epi32(10 << 16 | 1);
    above = _mm256_or_si256(above, _mm256_subs_epu8(x, _mm256_set1_epi8(9)));
    const __m256i lo = _mm256_madd_epi16(_mm256_unpacklo_epi8(x, zero), tens);
    const __m256i hi = _mm256_madd_epi16(_mm256_unpackhi_epi8(x, zero), tens);
    return _mm256_madd_epi16(_mm256_packs_epi32(lo, hi), _mm256_set1_epi32(100 << 16 | 1));
}
__m256i quads(const std::int8_t* at, __m256i& above)
{
    return quads(load(at), above);
}

// The words of the 64 digits at d, 64 at a time while they last; returns the words done.
std::size_t eightdigits(const std::int8_t* d, std::size_t len, std::uint32_t* words, u64& bad)
{
    __m256i above = _mm256_setzero_si256();
    std::size_t k = 0;
    for (; 8 * k + 64 <= len; k += 8)
    {
        const __m256i q = _mm256_packs_epi32(quads(d + 8 * k, above), quads(d + 8 * k + 32, above));
        // Per half, two words of each quads: words 0, 1, 4, 5, then 2, 3, 6, 7.
        const __m256i w = _mm256_madd_epi16(q, _mm256_set1_epi32(10000 << 16 | 1));
        _mm256_storeu_si256(static_cast<__m256i*>(static_cast<void*>(words + k)),
                            _mm256_permute4x64_epi64(w, 0xD8));
    }
    const __m256i ok = _mm256_cmpeq_epi8(above, _mm256_setzero_si256());
    bad |= static_cast<u64>(_mm256_movemask_epi8(ok) != -1);
    return k;
}

// Eight words below 10^8 (32-bit lanes) as sixteen 16-bit lanes below 10^4, each word's low
// quarter first: the high one is w * ceil(2^45 / 10^4) >> 45 (exact below 2^27).
__m256i quarters(__m256i w)
{
    const __m256i magic = _mm256_set1_epi32(static_cast<int>(3518437209U));
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(w, magic), 45);
    const __m256i odd = _mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(w, 32), magic), 45);
    const __m256i high = _mm256_or_si256(even, _mm256_slli_epi64(odd, 32));
    const __m256i low = _mm256_sub_epi32(w, _mm256_madd_epi16(high, _mm256_set1_epi32(10000)));
    return _mm256_or_si256(low, _mm256_slli_epi32(high, 16));
}

// Values below 100 in 16-bit lanes as two digit bytes each, the units first.
__m256i digits(__m256i pairs)
{
    const __m256i tens = _mm256_mulhi_epu16(pairs, _mm256_set1_epi16(6554));  // pairs / 10
    const __m256i units = _mm256_sub_epi16(pairs, _mm256_mullo_epi16(tens, _mm256_set1_epi16(10)));
    return _mm256_or_si256(units, _mm256_slli_epi16(tens, 8));
}

// The digits of the quarters in x: per 128-bit half, those of its first two words in `first` and
// of its last two in `last`, sixteen each (from each quarter's pairs: `high` = x / 100, `low`).
struct quarterdigits
{
    explicit quarterdigits(__m256i x)
        : high(_mm256_srli_epi16(_mm256_mulhi_epu16(x, _mm256_set1_epi16(5243)), 3)),
          low(_mm256_sub_epi16(x, _mm256_mullo_epi16(high, _mm256_set1_epi16(100)))),
          first(digits(_mm256_unpacklo_epi16(low, high))),
          last(digits(_mm256_unpackhi_epi16(low, high)))
    {
    }
    __m256i high, low, first, last;
};

// The 64 digits of the quarters in x (the words of its low half first) at `at`.
void store64(std::int8_t* at, __m256i x)
{
    const quarterdigits q(x);
    _mm256_storeu_si256(static_cast<__m256i*>(static_cast<void*>(at)),
                        _mm256_permute2x128_si256(q.first, q.last, 0x20));
    _mm256_storeu_si256(static_cast<__m256i*>(static_cast<void*>(at + 32)),
                        _mm256_permute2x128_si256(q.first, q.last, 0x31));
}

std::size_t eightwords(const std::uint32_t* values, std::int8_t* out, std::size_t n)
{
    std::size_t k = 0;
    for (; 8 * k + 64 <= n; k += 8) store64(out + 8 * k, quarters(load(values + k)));
    return k;
}

// Two sixteen-byte loads as the halves of one register.
__m256i loadpair(const std::int8_t* low, const std::int8_t* high)
{
    const auto at = [](const std::int8_t* x)
    { return _mm_loadu_si128(static_cast<const __m128i*>(static_cast<const void*>(x))); };
    return _mm256_inserti128_si256(_mm256_castsi128_si256(at(low)), at(high), 1);
}
// The limbs of the first `count` eighteen digits at d, four at a time: each limb's low sixteen
// digits through the quads and words below 10^8 (in 32-bit lanes, low word first), its top two
// from their bytes; a limb is low + high 10^8 + top 10^16, from products of 32-bit words.
std::size_t limbsof(const std::int8_t* d, std::size_t count, u64* limbs, u64& bad)
{
    const __m256i eight = _mm256_set1_epi64x(100000000);
    const __m256i sixteenlow = _mm256_set1_epi64x(10000000000000000 & 0xFFFFFFFF);
    const __m256i sixteenhigh = _mm256_set1_epi64x(10000000000000000 >> 32);
    __m256i above = _mm256_setzero_si256();
    std::size_t l = 0;
    for (; l + 4 <= count; l += 4)
    {
        const std::int8_t* at = d + l * limbdigits;
        const __m256i first = quads(loadpair(at, at + limbdigits), above);
        const __m256i second = quads(loadpair(at + 2 * limbdigits, at + 3 * limbdigits), above);
        // Per half, the words of its limb of `first`, then of its limb of `second`: in 64-bit
        // lanes the limbs 0, 2, 1, 3, put in order.
        const __m256i words =
            _mm256_permute4x64_epi64(_mm256_madd_epi16(_mm256_packs_epi32(first, second),
                                                       _mm256_set1_epi32(10000 << 16 | 1)),
                                     0xD8);
        const auto topof = [at](std::size_t i)
        { return static_cast<std::int64_t>(loadtop(at + i * limbdigits)); };
        const __m256i tops = _mm256_set_epi64x(topof(3), topof(2), topof(1), topof(0));
        above = _mm256_or_si256(above, _mm256_subs_epu8(tops, _mm256_set1_epi8(9)));
        const __m256i top =
            _mm256_add_epi64(_mm256_and_si256(tops, _mm256_set1_epi64x(0xFF)),
                             _mm256_mul_epu32(_mm256_srli_epi64(tops, 8), _mm256_set1_epi64x(10)));
        const __m256i low =
            _mm256_add_epi64(_mm256_and_si256(words, _mm256_set1_epi64x(0xFFFFFFFF)),
                             _mm256_mul_epu32(_mm256_srli_epi64(words, 32), eight));
        const __m256i high =
            _mm256_add_epi64(_mm256_mul_epu32(top, sixteenlow),
                             _mm256_slli_epi64(_mm256_mul_epu32(top, sixteenhigh), 32));
        _mm256_storeu_si256(static_cast<__m256i*>(static_cast<void*>(limbs + l)),
                            _mm256_add_epi64(low, high));
    }
    const __m256i ok = _mm256_cmpeq_epi8(above, _mm256_setzero_si256());
    bad |= static_cast<u64>(_mm256_movemask_epi8(ok) != -1);
    return l;
}

// The digits of limbs below 10^18, four at a time: each limb's two words below 10^8 (its low
// sixteen digits) and its top two digits split off by the scalar multiplier, the words' digits
// through the quarters of one register.
std::size_t digitsof(const u64* limbs, std::int8_t* out, std::size_t count)
{
    std::size_t l = 0;
    for (; l + 4 <= count; l += 4)
    {
        u64 words[4];
        std::uint16_t tops[4];
        for (std::size_t i = 0; i < 4; ++i)
        {
            const limbwords w = wordsof(limbs[l + i]);
            words[i] = w.low | w.high << 32;
            tops[i] = static_cast<std::uint16_t>(toppair(w.top));
        }
        // (From registers: a load of the four words just stored would wait for the stores.)
        const __m256i w = _mm256_set_epi64x(
            static_cast<std::int64_t>(words[3]), static_cast<std::int64_t>(words[2]),
            static_cast<std::int64_t>(words[1]), static_cast<std::int64_t>(words[0]));
        // The digits of the words 0, 1 and 4, 5 in `first`, of 2, 3 and 6, 7 in `last`: sixteen
        // digits per limb.
        const quarterdigits q(quarters(w));
        std::int8_t* d = out + l * limbdigits;
        const auto put = [](std::int8_t* at, __m128i sixteen)
        { _mm_storeu_si128(static_cast<__m128i*>(static_cast<void*>(at)), sixteen); };
        put(d, _mm256_castsi256_si128(q.first));
        put(d + limbdigits, _mm256_castsi256_si128(q.last));
        put(d + 2 * limbdigits, _mm256_extracti128_si256(q.first, 1));
        put(d + 3 * limbdigits, _mm256_extracti128_si256(q.last, 1));
        for (std::size_t i = 0; i < 4; ++i) std::memcpy(d + i * limbdigits + 16, tops + i, 2);
    }
    return l;
}
}  // namespace
QUORVEL_TARGET_END

std::size_t avx2words(const std::int8_t* d, std::size_t len, std::uint32_t* words, u64& bad)
{
    const std::size_t k = eightdigits(d, len, words, bad);
    return k + towords(d + 8 * k, len - 8 * k, words + k, bad);
}

void avx2digits(const std::uint32_t* values, std::int8_t* out, std::size_t n)
{
    const std::size_t k = eightwords(values, out, n);
    fromwords(values + k, out + 8 * k, n - 8 * k);
}

std::size_t avx2limbs(const std::int8_t* d, std::size_t count, u64* limbs, u64& bad)
{
    return limbsof(d, count, limbs, bad);
}

std::size_t avx2limbdigits(const u64* limbs, std::int8_t* out, std::size_t count)
{
    return digitsof(limbs, out, count);
}
}  // namespace detail
}  // namespace QUORVEL
#endif
