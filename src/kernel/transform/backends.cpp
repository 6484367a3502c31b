// The table of the transform's backends and the choice among them.
#include "kernel/transform/backend.hpp"

#include <atomic>
#include <cassert>

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

const backend& fastest()
{
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
