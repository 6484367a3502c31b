// The transform's AVX-512 IFMA backend: eight values at a time. vpmadd52luq and vpmadd52huq
// multiply 52-bit words and give the low and the high 52 bits of the product, which is all that
// Shoup's and Montgomery's reductions need for primes below 2^50 (R = 2^52 here). Compiled for
// that instruction set alone, the rest of the library being compiled for the baseline, and used
// only where the processor has it; the residues are the same as the scalar backend's.
#include "kernel/target.hpp"
#include "kernel/transform/backend.hpp"
#include "kernel/transform/modular.hpp"
#include "kernel/transform/transform.hpp"
#include "kernel/tuning.hpp"

#include <cstddef>

#if defined(QUORVEL_X86_TARGETS)
#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's own AVX-512 headers start some intrinsics from an undefined vector and then warn about
// it (GCC bug 105593).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
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
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512ifma") &&
               __builtin_cpu_supports("avx512vl");
    }();
    return has;
}
}  // namespace
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL

// Every function from here to the end of the file is compiled for AVX-512 IFMA: the lane below and
// the engine's instance over it, which therefore come after the headers they use.
QUORVEL_TARGET_BEGIN("avx512f,avx512ifma,avx512vl")
#include "kernel/transform/engine.hpp"

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace
{
using v8 = __m512i;

constexpr u64 mask52 = (u64{1} << 52) - 1;

// The twiddles and lane orders of the stages inside a vector of eight.
struct inside
{
    v8 lower[3], upper[3];  // lane indices of the halves for h = 4, 2, 1
    __mmask8 upperlanes[3];
    v8 w4, w4q, w2, w2q;  // twiddles, in the lanes of the upper halves
};

inside insideof(const u64* roots, const u64* quotients)
{
    inside s{};
    s.lower[0] = _mm512_set_epi64(3, 2, 1, 0, 3, 2, 1, 0);
    s.upper[0] = _mm512_set_epi64(7, 6, 5, 4, 7, 6, 5, 4);
    s.lower[1] = _mm512_set_epi64(5, 4, 5, 4, 1, 0, 1, 0);
    s.upper[1] = _mm512_set_epi64(7, 6, 7, 6, 3, 2, 3, 2);
    s.lower[2] = _mm512_set_epi64(6, 6, 4, 4, 2, 2, 0, 0);
    s.upper[2] = _mm512_set_epi64(7, 7, 5, 5, 3, 3, 1, 1);
    s.upperlanes[0] = 0xF0;
    s.upperlanes[1] = 0xCC;
    s.upperlanes[2] = 0xAA;
    // The same four (two) twiddles in both halves (in every pair) of lanes.
    const auto lane = [](const u64* p, int i) { return static_cast<long long>(p[i]); };
    s.w4 = _mm512_set_epi64(lane(roots, 7), lane(roots, 6), lane(roots, 5), lane(roots, 4),
                            lane(roots, 7), lane(roots, 6), lane(roots, 5), lane(roots, 4));
    s.w4q = _mm512_set_epi64(lane(quotients, 7), lane(quotients, 6), lane(quotients, 5),
                             lane(quotients, 4), lane(quotients, 7), lane(quotients, 6),
                             lane(quotients, 5), lane(quotients, 4));
    s.w2 = _mm512_set_epi64(lane(roots, 3), lane(roots, 2), lane(roots, 3), lane(roots, 2),
                            lane(roots, 3), lane(roots, 2), lane(roots, 3), lane(roots, 2));
    s.w2q = _mm512_set_epi64(lane(quotients, 3), lane(quotients, 2), lane(quotients, 3),
                             lane(quotients, 2), lane(quotients, 3), lane(quotients, 2),
                             lane(quotients, 3), lane(quotients, 2));
    return s;
}

struct ifmalane
{
    static constexpr std::size_t width = 8;
    using vec = v8;
    // A prime, the constants of its reductions eight times over, and the twiddles of the stages
    // inside a vector.
    struct constants
    {
        v8 p, twop, negp, mask, zero;
        inside forward, inverse;
        const prime* m;
    };

    static constants prepare(const prime& m, const roottable& t)
    {
        const u64 twop = 2 * m.p;
        return {_mm512_set1_epi64(static_cast<long long>(m.p)),
                _mm512_set1_epi64(static_cast<long long>(twop)),
                _mm512_set1_epi64(static_cast<long long>(m.negp52)),
                _mm512_set1_epi64(static_cast<long long>(mask52)),
                _mm512_setzero_si512(),
                insideof(t.forward, t.forwardq),
                insideof(t.inverse, t.inverseq),
                &m};
    }
    static v8 load(const u64* p) { return _mm512_loadu_si512(p); }
    static void store(u64* p, v8 x) { _mm512_storeu_si512(p, x); }
    static void residuesof(u64* x, const u64* a, std::size_t na, const prime& m,
                           const constants& /*c*/)
    {
        integerresidues(x, a, na, m);
    }
    static void storeinteger(u64* p, v8 x) { _mm512_storeu_si512(p, x); }
    // x below 2k to below k, for k = p or 2p: subtracting k wraps past x where x < k.
    static v8 reduce(v8 x, v8 k) { return _mm512_min_epu64(x, _mm512_sub_epi64(x, k)); }
    /// A value the transforms leave (below 4p), as a factor of montmul.
    static v8 fromlazy(v8 x, const constants& c) { return reduce(x, c.twop); }
    // Shoup's product w * y modulo p in [0, 2p), for y < 2^52 and wq = floor(w 2^52 / p): the
    // quotient from the high half, the remainder from the low 52 bits alone.
    static v8 shoup(v8 w, v8 wq, v8 y, const constants& m)
    {
        const v8 q = _mm512_madd52hi_epu64(m.zero, wq, y);
        const v8 r = _mm512_sub_epi64(_mm512_madd52lo_epu64(m.zero, w, y),
                                      _mm512_madd52lo_epu64(m.zero, q, m.p));
        return _mm512_and_si512(r, m.mask);
    }
    // Montgomery's product a * b / 2^52 modulo p in [0, 2p), for a, b < 2p: t + m p is a multiple
    // of 2^52, its low halves add to 0 or 2^52, so the result is the high halves and one where the
    // low half of t is not zero.
    static v8 montmul(v8 a, v8 b, const constants& m)
    {
        const v8 low = _mm512_madd52lo_epu64(m.zero, a, b);
        const v8 high = _mm512_madd52hi_epu64(m.zero, a, b);
        const v8 q = _mm512_madd52lo_epu64(m.zero, low, m.negp);
        const v8 sum = _mm512_madd52hi_epu64(high, q, m.p);
        const __mmask8 carry = _mm512_test_epi64_mask(low, low);
        return _mm512_mask_add_epi64(sum, carry, sum, _mm512_set1_epi64(1));
    }

    // x * 2^52 modulo p, in every lane.
    static v8 montgomeryform(u64 x, const constants& c)
    {
        return _mm512_set1_epi64(static_cast<long long>((static_cast<u128>(x) << 52) % c.m->p));
    }
    static v8 scaling(u64 factor, const prime& m, const constants& /*c*/)
    {
        const u64 scale = static_cast<u64>(static_cast<u128>(m.rsquare52) * factor % m.p);
        return _mm512_set1_epi64(static_cast<long long>(scale));
    }

    // Stages h >= 8, as the scalar backend's.
    static void forwardbutterfly(v8& u, v8& v, v8 w, v8 wq, const constants& c)
    {
        const v8 d = _mm512_add_epi64(_mm512_sub_epi64(u, v), c.twop);
        u = reduce(_mm512_add_epi64(u, v), c.twop);
        v = shoup(w, wq, d, c);
    }
    static void forwardsecond(v8& u, v8& v, v8 w, v8 wq, const constants& c)
    {
        forwardbutterfly(u, v, w, wq, c);
    }
    static void inversebutterfly(v8& u, v8& v, v8 w, v8 wq, const constants& c)
    {
        const v8 x = reduce(u, c.twop);
        const v8 y = shoup(w, wq, v, c);
        u = _mm512_add_epi64(x, y);
        v = _mm512_sub_epi64(_mm512_add_epi64(x, c.twop), y);
    }
    static void inversesecond(v8& u, v8& v, v8 w, v8 wq, const constants& c)
    {
        inversebutterfly(u, v, w, wq, c);
    }
    // As the scalar backend's: u in [0, 4p) and v in [0, 2p) to 2u - v and (u - v) w.
    static void truncatedbutterfly(v8& u, v8& v, v8 w, v8 wq, const constants& c)
    {
        const v8 x = reduce(reduce(u, c.twop), c.p);
        const v8 d = _mm512_sub_epi64(_mm512_add_epi64(x, c.twop), v);
        u = _mm512_add_epi64(x, d);
        v = shoup(w, wq, d, c);
    }

    // The stages h = 4, 2, 1 inside each vector of eight: the two halves of each butterfly are
    // gathered into two vectors by permutes, and the results blended back.
    static v8 forwardinside(v8 x, const constants& c)
    {
        const inside& s = c.forward;
        for (int k = 0; k < 3; ++k)
        {
            const v8 u = _mm512_permutexvar_epi64(s.lower[k], x);
            const v8 v = _mm512_permutexvar_epi64(s.upper[k], x);
            const v8 sum = reduce(_mm512_add_epi64(u, v), c.twop);
            const v8 d = _mm512_add_epi64(_mm512_sub_epi64(u, v), c.twop);
            const v8 product = k == 0   ? shoup(s.w4, s.w4q, d, c)
                               : k == 1 ? shoup(s.w2, s.w2q, d, c)
                                        : reduce(d, c.twop);  // w = 1
            x = _mm512_mask_blend_epi64(s.upperlanes[k], sum, product);
        }
        return x;
    }
    static v8 inverseinside(v8 x, const constants& c)
    {
        const inside& s = c.inverse;
        for (int k = 2; k >= 0; --k)
        {
            const v8 u = reduce(_mm512_permutexvar_epi64(s.lower[k], x), c.twop);
            const v8 y = _mm512_permutexvar_epi64(s.upper[k], x);
            const v8 v = k == 0   ? shoup(s.w4, s.w4q, y, c)
                         : k == 1 ? shoup(s.w2, s.w2q, y, c)
                                  : reduce(y, c.twop);  // w = 1
            x = _mm512_mask_blend_epi64(s.upperlanes[k], _mm512_add_epi64(u, v),
                                        _mm512_sub_epi64(_mm512_add_epi64(u, c.twop), v));
        }
        return x;
    }
};

}  // namespace

// Every processor with AVX-512 IFMA has AVX2, whose kernels form the products in words.
// The address of the kernels' table is a constant: no initialisation order is needed.
// NOLINTNEXTLINE(cppcoreguidelines-interfaces-global-init)
const backend ifmabackend{
    "ifma",        available,       tuning::transformfromifma, 52, engine<ifmalane>::residues,
    recombinewide, &avx2wordkernels};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL

QUORVEL_TARGET_END

#else  // no AVX-512 IFMA in this build

namespace
{
bool never()
{
    return false;
}
}  // namespace

const backend ifmabackend{"ifma", never, tuning::transformfromifma, 52, nullptr, nullptr, nullptr};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
#endif
