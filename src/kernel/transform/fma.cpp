// The transform's AVX2 backend: four doubles at a time, with fused multiply-add (fmalane.hpp).
// For the x86-64 processors without AVX-512 IFMA (AMD Zen 2 and 3, Intel's client cores), which
// have no vector multiplier of 64-bit integers. Compiled for AVX2 and FMA alone, the rest of the
// library being compiled for the baseline, and used only where the processor has both; the
// residues are the same as the scalar backend's.
#include "kernel/target.hpp"
#include "kernel/transform/backend.hpp"
#include "kernel/transform/modular.hpp"
#include "kernel/transform/transform.hpp"
#include "kernel/tuning.hpp"

#include <cstddef>

#if defined(QUORVEL_X86_TARGETS)
#include <immintrin.h>
#endif

namespace QUORVEL
{
namespace detail
{
namespace transform
{
#if defined(QUORVEL_X86_TARGETS)
namespace
{
bool available()
{
    static const bool has = []
    {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    }();
    return has;
}
}  // namespace
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL

// Every function from here to the end of the file is compiled for AVX2 and FMA: the vector type
// below and the engine's instance over it.
QUORVEL_TARGET_BEGIN("avx2,fma")
#include "kernel/transform/avx2words.hpp"
#include "kernel/transform/engine.hpp"
#include "kernel/transform/fmalane.hpp"

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace
{
struct avx2
{
    using reg = __m256d;
    static constexpr std::size_t width = 4;
    static reg load(const u64* x)
    {
        return _mm256_loadu_pd(static_cast<const double*>(static_cast<const void*>(x)));
    }
    static void store(u64* x, reg v)
    {
        _mm256_storeu_pd(static_cast<double*>(static_cast<void*>(x)), v);
    }
    static reg loaddoubles(const double* x) { return _mm256_loadu_pd(x); }
    static void halves(const u64* a, reg& high, reg& low)
    {
        const __m256i x =
            _mm256_loadu_si256(static_cast<const __m256i*>(static_cast<const void*>(a)));
        high = avx2words::asdoubles(_mm256_srli_epi64(x, 30));
        low = avx2words::asdoubles(_mm256_and_si256(x, _mm256_set1_epi64x((1LL << 30) - 1)));
    }
    static void storeintegers(u64* x, reg v)
    {
        _mm256_storeu_si256(static_cast<__m256i*>(static_cast<void*>(x)), avx2words::aswords(v));
    }
    static reg set1(double x) { return _mm256_set1_pd(x); }
    static reg pair(double a, double b) { return _mm256_setr_pd(a, b, a, b); }
    static reg add(reg a, reg b) { return _mm256_add_pd(a, b); }
    static reg sub(reg a, reg b) { return _mm256_sub_pd(a, b); }
    static reg mul(reg a, reg b) { return _mm256_mul_pd(a, b); }
    static reg fms(reg a, reg b, reg c) { return _mm256_fmsub_pd(a, b, c); }
    static reg fnma(reg a, reg b, reg c) { return _mm256_fnmadd_pd(a, b, c); }
    static reg round(reg x)
    {
        return _mm256_round_pd(x, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    }
    static reg fixlow(reg x, reg k)
    {
        return _mm256_add_pd(x,
                             _mm256_and_pd(_mm256_cmp_pd(x, _mm256_setzero_pd(), _CMP_LT_OQ), k));
    }
    static reg fixhigh(reg x, reg k)
    {
        return _mm256_sub_pd(x, _mm256_and_pd(_mm256_cmp_pd(x, k, _CMP_GE_OQ), k));
    }
    static reg evens(reg x) { return _mm256_movedup_pd(x); }
    static reg odds(reg x) { return _mm256_permute_pd(x, 0xF); }
    static reg blendodd(reg a, reg b) { return _mm256_blend_pd(a, b, 0xA); }
    static reg lows(reg x) { return _mm256_permute2f128_pd(x, x, 0x00); }
    static reg highs(reg x) { return _mm256_permute2f128_pd(x, x, 0x11); }
    static reg blendhigh(reg a, reg b) { return _mm256_blend_pd(a, b, 0xC); }
};
}  // namespace

// The address of the kernels' table is a constant: no initialisation order is needed.
// NOLINTNEXTLINE(cppcoreguidelines-interfaces-global-init)
const backend fmabackend{
    "avx2",        available,       tuning::transformfromfma, 0, engine<fmalane<avx2>>::residues,
    recombinewide, &avx2wordkernels};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL

QUORVEL_TARGET_END

#else  // not x86-64 with GCC or Clang

namespace
{
bool never()
{
    return false;
}
}  // namespace

const backend fmabackend{"avx2", never, tuning::transformfromfma, 0, nullptr, nullptr, nullptr};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
#endif
