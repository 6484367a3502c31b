// The table of the transform's backends and the choice among them.
#include "kernel/target.hpp"
#include "kernel/transform/backend.hpp"

#include <atomic>
#include <cassert>

#if defined(QUORVEL_X86_TARGETS)
#include <cpuid.h>
#endif

namespace QUORVEL
{
namespace detail
{
namespace transform
{
// The addresses of the rows are constants: this table needs no initialisation order.
// NOLINTNEXTLINE(cppcoreguidelines-interfaces-global-init)
const backend* const backends[backendcount] = {&ifmabackend, &fmabackend, &neonbackend,
                                               &scalarbackend};

namespace
{
std::atomic<const backend*> forced{nullptr};

// Whether this processor may run AVX-512 as two halves of 256 bits, where the transform of doubles
// on AVX2 beats IFMA's (on Zen 4 by 20 to 30% from 65,536 digits, evenly below): AMD's family
// 19h, whose processors with AVX-512 (Zen 4) all do.
bool halvedavx512()
{
#if defined(QUORVEL_X86_TARGETS)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) == 0)
        return false;
    const bool amd =
        ebx == 0x68747541U && edx == 0x69746e65U && ecx == 0x444d4163U;  // AuthenticAMD
    if (!amd || __get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return false;
    const unsigned base = (eax >> 8) & 0xFU;
    return base == 0xF && base + ((eax >> 20) & 0xFFU) == 0x19;  // with the extended family
#else
    return false;
#endif
}

// The first available backend of the table, but AVX2's before IFMA's where AVX-512 is halved.
const backend& fastest()
{
    if (ifmabackend.available() && fmabackend.available() && halvedavx512())
        return fmabackend;
    for (const backend* b : backends)
        if (b->available())
            return *b;
    return scalarbackend;
}
}  // namespace

const backend& choosebackend()
{
    static const backend& best = fastest();
    const backend* chosen = forced.load(std::memory_order_relaxed);
    return chosen != nullptr ? *chosen : best;
}

const backend* forcebackend(const backend* which)
{
    assert(which == nullptr || which->available());
    return forced.exchange(which);
}
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
