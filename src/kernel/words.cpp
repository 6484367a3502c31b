// Digit strings in and out of words of eight digits.
#include "kernel/words.hpp"

#include "kernel/digitlanes.hpp"
#include "kernel/swar.hpp"

namespace QUORVEL
{
namespace detail
{
namespace
{
#if defined(QUORVEL_DIGIT_LANES)
// Sixteen digits at a time (kernel/digitlanes.hpp). Returns the number of words done; `bad` as
// towords says.
std::size_t vectorwords(const std::int8_t* d, std::size_t len, std::uint32_t* words, u64& bad)
{
    __m128i above = _mm_setzero_si128();
    std::size_t k = 0;
    for (; 8 * k + 32 <= len; k += 4)
    {
        const __m128i x =
            lanes::eights(lanes::quads(d + 8 * k, above), lanes::quads(d + 8 * k + 16, above));
        _mm_storeu_si128(static_cast<__m128i*>(static_cast<void*>(words + k)), x);
    }
    if (8 * k + 16 <= len)
    {
        const __m128i x = lanes::eights(lanes::quads(d + 8 * k, above), _mm_setzero_si128());
        _mm_storel_epi64(static_cast<__m128i*>(static_cast<void*>(words + k)), x);
        k += 2;
    }
    bad |= static_cast<u64>(lanes::anyabove(above));
    return k;
}
#else
std::size_t vectorwords(const std::int8_t*, std::size_t, std::uint32_t*, u64&)
{
    return 0;
}
#endif
}  // namespace

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

}  // namespace detail
}  // namespace QUORVEL
