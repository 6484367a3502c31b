// The Chinese remainder theorem into limbs of base 10^18 (crt.hpp): its constants, the factors
// the transforms fold in, and the portable recombination.
#include "kernel/transform/crt.hpp"
#include "kernel/transform/transform.hpp"

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace
{
moduli makemoduli()
{
    moduli x{};
    constexpr double base = 1e18;
    for (std::size_t k = 0; k < 3; ++k)
    {
        const u128 m = static_cast<u128>(primes[(k + 1) % 3].p) * primes[(k + 2) % 3].p;
        u64 low = 0;
        x.m[k][1] = static_cast<u64>(divbase(m, low));
        x.m[k][0] = low;
        x.mb[k][0] = static_cast<double>(x.m[k][0]) / base;
        x.mb[k][1] = static_cast<double>(x.m[k][1]) / base;
        x.pinv[k] = 1.0 / static_cast<double>(primes[k].p);
    }
    // P = M_0 p_0, limb by limb; then jP for j = 0, 1, 2 (2P < B^3).
    const u64 p0 = primes[0].p;
    u64 low = 0, middle = 0;
    const u128 carry = divbase(static_cast<u128>(x.m[0][0]) * p0, low);
    const u128 top = divbase(static_cast<u128>(x.m[0][1]) * p0 + carry, middle);
    const u64 p[3] = {low, middle, static_cast<u64>(top)};
    for (std::size_t j = 0; j < 3; ++j)
    {
        u64 jp[3] = {}, c = 0;
        for (std::size_t i = 0; i < 3; ++i)
        {
            const u64 v = j * p[i] + c;  // below 3B
            c = v / limbbase;
            jp[i] = v % limbbase;
        }
        x.low[j] = 2 * limbbase - jp[0];
        x.high[j] = 2 * limbbase - 2 - jp[1];
        x.top[j] = 2 + jp[2];
        x.offset[j][0] = static_cast<double>(x.low[j]) / base + 0.5;
        x.offset[j][1] = static_cast<double>(x.high[j]) / base - 0.01;
    }
    return x;
}
}  // namespace

const moduli crt = makemoduli();

u64 crtfactor(std::size_t k)
{
    struct factors
    {
        u64 f[3];
    };
    static const factors made = []
    {
        factors x{};
        for (std::size_t i = 0; i < 3; ++i)
        {
            const u64 p = primes[i].p;
            const u64 m = static_cast<u64>(static_cast<u128>(primes[(i + 1) % 3].p) *
                                           primes[(i + 2) % 3].p % p);
            x.f[i] = powmod(m, p - 2, p);
        }
        return x;
    }();
    return made.f[k];
}

// Each coefficient is split into its three limbs on its own (no carry runs through the splits,
// so they overlap); the limbs are added with small carries as they come.
void recombine(u64* r, std::size_t count, u64* const residues[3], bool whole)
{
    const u64* y0 = residues[0];
    const u64* y1 = residues[1];
    const u64* y2 = residues[2];
    carries limbs;
    for (std::size_t k = 0; k < count; ++k)
    {
        u64 low = 0, middle = 0, high = 0;
        split(y0[k], y1[k], y2[k], low, middle, high);
        r[k] = limbs.next(low, middle, high);
    }
    if (whole)
        r[count] = limbs.last();
}
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
