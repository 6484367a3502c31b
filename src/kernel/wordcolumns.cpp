// The columns of products of words with AVX2: for each block of 16 columns, every word of x that
// reaches it times four lanes of y at a time (32 by 32 bit products into 64-bit lanes), summed in
// four accumulators. The block's range of x comes from the padding of y: a word of x whose
// products with y all fall outside the block is skipped, one whose products fall partly outside
// reads zeros there.
#include "kernel/wordcolumns.hpp"

#include "kernel/target.hpp"

#include <algorithm>

#if defined(QUORVEL_X86_TARGETS)
#include <immintrin.h>

QUORVEL_TARGET_BEGIN("avx2")
namespace QUORVEL
{
namespace detail
{
namespace
{
__m256i lanes(const u64* at)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(static_cast<const void*>(at)));
}
__m256i muladd(__m256i sum, __m256i x, const u64* y)
{
    return _mm256_add_epi64(sum, _mm256_mul_epu32(x, lanes(y)));
}
void put(u64* at, __m256i v)
{
    _mm256_storeu_si256(static_cast<__m256i*>(static_cast<void*>(at)), v);
}

void columns(u64* c, std::size_t count, const std::uint32_t* x, std::size_t nx, const u64* y,
             std::size_t ny)
{
    for (std::size_t at = 0; at < count; at += 16)
    {
        // The words of x with a product in columns at to at + 15: at - i + 15 >= 0 and
        // at - i <= ny - 1.
        const std::size_t first = at + 1 > ny ? at + 1 - ny : 0;
        const std::size_t end = std::min(at + 16, nx);
        __m256i s0 = _mm256_setzero_si256(), s1 = s0, s2 = s0, s3 = s0;
        const u64* yat = y + at;
        for (std::size_t i = first; i < end; ++i)
        {
            const __m256i xi = _mm256_set1_epi32(static_cast<int>(x[i]));
            const u64* p = yat - i;
            s0 = muladd(s0, xi, p);
            s1 = muladd(s1, xi, p + 4);
            s2 = muladd(s2, xi, p + 8);
            s3 = muladd(s3, xi, p + 12);
        }
        if (count - at >= 16)
        {
            put(c + at, s0);
            put(c + at + 4, s1);
            put(c + at + 8, s2);
            put(c + at + 12, s3);
            continue;
        }
        u64 last[16];  // a last block of fewer than 16 columns
        put(last, s0);
        put(last + 4, s1);
        put(last + 8, s2);
        put(last + 12, s3);
        std::copy(last, last + (count - at), c + at);
    }
}
}  // namespace

}  // namespace detail
}  // namespace QUORVEL
QUORVEL_TARGET_END

namespace QUORVEL
{
namespace detail
{
// Declared in the header, outside any region compiled for AVX2: the entry that callers of the
// baseline see, which the table of backends names.
void avx2columns(u64* c, std::size_t count, const std::uint32_t* x, std::size_t nx, const u64* y,
                 std::size_t ny)
{
    columns(c, count, x, nx, y, ny);
}

const wordkernels avx2wordkernels{avx2columns, avx2words, avx2digits, avx2limbs, avx2limbdigits};
}  // namespace detail
}  // namespace QUORVEL
#endif
