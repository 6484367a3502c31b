// The transform's NEON backend: two doubles at a time, with fused multiply-add (fmalane.hpp), for
// 64-bit ARM, where every processor has both; the residues are the same as the scalar backend's.
#include "kernel/transform/backend.hpp"
#include "kernel/transform/modular.hpp"
#include "kernel/transform/transform.hpp"
#include "kernel/tuning.hpp"

#include <cstddef>

#if defined(__aarch64__)
#include "kernel/transform/engine.hpp"
#include "kernel/transform/fmalane.hpp"

#include <arm_neon.h>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace
{
struct neon
{
    using reg = float64x2_t;
    static constexpr std::size_t width = 2;
    static reg load(const u64* x)
    {
        return vld1q_f64(static_cast<const double*>(static_cast<const void*>(x)));
    }
    static void store(u64* x, reg v) { vst1q_f64(static_cast<double*>(static_cast<void*>(x)), v); }
    static reg loaddoubles(const double* x) { return vld1q_f64(x); }
    static void halves(const u64* a, reg& high, reg& low)
    {
        const uint64x2_t x = vld1q_u64(a);
        high = vcvtq_f64_u64(vshrq_n_u64(x, 30));
        low = vcvtq_f64_u64(vandq_u64(x, vdupq_n_u64((u64{1} << 30) - 1)));
    }
    static void storeintegers(u64* x, reg v) { vst1q_u64(x, vcvtq_u64_f64(v)); }
    static reg set1(double x) { return vdupq_n_f64(x); }
    static reg pair(double a, double b) { return vsetq_lane_f64(b, vdupq_n_f64(a), 1); }
    static reg add(reg a, reg b) { return vaddq_f64(a, b); }
    static reg sub(reg a, reg b) { return vsubq_f64(a, b); }
    static reg mul(reg a, reg b) { return vmulq_f64(a, b); }
    static reg fms(reg a, reg b, reg c) { return vfmaq_f64(vnegq_f64(c), a, b); }
    static reg fnma(reg a, reg b, reg c) { return vfmsq_f64(c, a, b); }
    static reg round(reg x) { return vrndnq_f64(x); }
    static reg masked(uint64x2_t mask, reg k)
    {
        return vreinterpretq_f64_u64(vandq_u64(mask, vreinterpretq_u64_f64(k)));
    }
    static reg fixlow(reg x, reg k) { return vaddq_f64(x, masked(vcltzq_f64(x), k)); }
    static reg fixhigh(reg x, reg k) { return vsubq_f64(x, masked(vcgeq_f64(x, k), k)); }
    static reg evens(reg x) { return vdupq_laneq_f64(x, 0); }
    static reg odds(reg x) { return vdupq_laneq_f64(x, 1); }
    static reg blendodd(reg a, reg b) { return vcopyq_laneq_f64(a, 1, b, 1); }
};

bool always()
{
    return true;
}
}  // namespace

const backend neonbackend{
    "neon",    always, tuning::transformfromneon, 0, engine<fmalane<neon>>::residues,
    recombine, nullptr};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL

#else  // not 64-bit ARM

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace
{
bool never()
{
    return false;
}
}  // namespace

const backend neonbackend{"neon", never, tuning::transformfromneon, 0, nullptr, nullptr, nullptr};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
#endif
