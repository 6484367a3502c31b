// Digit strings in and out of limbs of base 10^18 (kernel/limbdigits.hpp): eight digits at a time
// in words (kernel/swar.hpp), two limbs at a time with SSE2 (kernel/digitlanes.hpp), and four at a
// time through a backend's vector kernels where the operation has them.
#include "kernel/limbdigits.hpp"

#include "kernel/digitlanes.hpp"
#include "kernel/swar.hpp"
#include "kernel/wordcolumns.hpp"

#include <algorithm>
#include <cassert>

namespace QUORVEL
{
namespace detail
{
namespace
{
using swar::baddigits;
using swar::gather8;
using swar::load8;
using swar::loadtail;
using swar::spread8;
using swar::store8;

// The top two digits of a limb, at positions 16 and 17 of d.
inline void puttop(u64 top, std::int8_t* d)
{
    d[16] = static_cast<std::int8_t>(top % 10);
    d[17] = static_cast<std::int8_t>(top / 10);
}

// Writes the 18 digits of v < 10^18 at d.
inline void unpacklimb(u64 v, std::int8_t* d)
{
    const limbwords w = wordsof(v);
    store8(d, spread8(w.low));
    store8(d + 8, spread8(w.high));
    puttop(w.top, d);
}

// The limb of the `count` digits at d (18 but for a last limb), digit by digit, each read modulo
// 10.
u64 limbmodulo(const std::int8_t* d, std::size_t count)
{
    u64 v = 0;
    for (std::size_t i = count; i-- > 0;)
    {
        const int digit = d[i] % 10;
        v = v * 10 + static_cast<u64>(digit < 0 ? digit + 10 : digit);
    }
    return v;
}

// The limb of the 18 digits at d, eight at a time; `bad` collects the top bits of bytes above 9.
inline u64 limbof(const std::int8_t* d, u64& bad)
{
    const u64 x0 = load8(d), x1 = load8(d + 8);
    const u64 top = loadtop(d);
    bad |= baddigits(x0) | baddigits(x1) | baddigits(top);
    return gather8(x0) + gather8(x1) * 100000000ULL + gather8(top) * 10000000000000000ULL;
}

// The limb of the last `rest` < 18 digits of the `len` at d, eight at a time where they are
// whole; `bad` as above.
inline u64 lastlimbof(const std::int8_t* d, std::size_t len, std::size_t rest, u64& bad)
{
    const std::size_t lo = len - rest;
    const u64 x0 = rest > 8 ? load8(d + lo) : loadtail(d, len, rest);
    const u64 x1 = rest > 16 ? load8(d + lo + 8) : rest > 8 ? loadtail(d, len, rest - 8) : 0;
    const u64 x2 = rest > 16 ? loadtail(d, len, rest - 16) : 0;
    bad |= baddigits(x0) | baddigits(x1) | baddigits(x2);
    return gather8(x0) + gather8(x1) * 100000000ULL + gather8(x2) * 10000000000000000ULL;
}
}  // namespace

void pack(const std::int8_t* d, std::size_t len, u64* limbs, std::size_t count,
          const wordkernels* vector)
{
    const std::size_t full = std::min(count, len / limbdigits);
    u64 bad = 0;
    std::size_t l = vector != nullptr ? vector->limbs(d, full, limbs, bad) : 0;
#if defined(QUORVEL_DIGIT_LANES)
    // Two limbs at a time: their low sixteen digits through the vector, the top two one by one.
    __m128i above = _mm_setzero_si128();
    for (; l + 2 <= full; l += 2)
    {
        const std::int8_t* at = d + l * limbdigits;
        alignas(16) std::uint32_t words[4];
        _mm_store_si128(
            static_cast<__m128i*>(static_cast<void*>(words)),
            lanes::eights(lanes::quads(at, above), lanes::quads(at + limbdigits, above)));
        for (std::size_t i = 0; i < 2; ++i)
        {
            const u64 top = loadtop(at + i * limbdigits);
            bad |= baddigits(top);
            limbs[l + i] = words[2 * i] + static_cast<u64>(words[2 * i + 1]) * 100000000ULL +
                           gather8(top) * 10000000000000000ULL;
        }
    }
    bad |= static_cast<u64>(lanes::anyabove(above));
#endif
    for (; l < full; ++l) limbs[l] = limbof(d + l * limbdigits, bad);
    std::size_t filled = full;
    if (full < count && len > full * limbdigits)
        limbs[filled++] = lastlimbof(d, len, len - full * limbdigits, bad);
    std::fill(limbs + filled, limbs + count, u64{0});
    if (bad != 0)  // a digit outside 0 to 9 (only where a caller wrote one): again, modulo 10
        for (std::size_t k = 0; k < filled; ++k)
            limbs[k] = limbmodulo(d + k * limbdigits, std::min(limbdigits, len - k * limbdigits));
}

void unpack(const u64* limbs, std::int8_t* out, std::size_t n, const wordkernels* vector)
{
    std::size_t m = limbsfor(n);
    if (m > 0 && limbs[m - 1] == 0)
    {
        // Zero limbs at the top are zero digits: no need to split them.
        m = limblength(limbs, m);
        std::fill(out + m * limbdigits, out + n, std::int8_t{0});
        n = m * limbdigits;
    }
    const std::size_t full = n / limbdigits;
    std::size_t l = vector != nullptr ? vector->limbdigits(limbs, out, full) : 0;
#if defined(QUORVEL_DIGIT_LANES)
    // Two limbs at a time: their low sixteen digits through the vector, the top two one by one.
    for (; l + 2 <= full; l += 2)
    {
        const limbwords w[2] = {wordsof(limbs[l]), wordsof(limbs[l + 1])};
        std::int8_t* d = out + l * limbdigits;
        const __m128i words =
            _mm_set_epi32(static_cast<int>(w[1].high), static_cast<int>(w[1].low),
                          static_cast<int>(w[0].high), static_cast<int>(w[0].low));
        lanes::store16(d, lanes::quarters(words), d + limbdigits);
        puttop(w[0].top, d);
        puttop(w[1].top, d + limbdigits);
    }
#endif
    for (; l < full; ++l) unpacklimb(limbs[l], out + l * limbdigits);
    if (const std::size_t rest = n - full * limbdigits)
    {
        // The low `rest` (< 18) digits of the last limb: whole words of eight, then byte by byte.
        assert(rest < limbdigits);
        std::int8_t* d = out + full * limbdigits;
        const limbwords w = wordsof(limbs[full]);
        const u64 words[3] = {spread8(w.low), spread8(w.high), toppair(w.top)};
        std::size_t i = 0;
        for (; i + 8 <= rest; i += 8) store8(d + i, words[i / 8]);
        for (; i < rest; ++i) d[i] = static_cast<std::int8_t>(words[i / 8] >> (8 * (i % 8)));
    }
}
}  // namespace detail
}  // namespace QUORVEL
