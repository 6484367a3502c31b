// Internal: integer roots of naturals. Not installed.
#pragma once

#include "kernel/natural.hpp"

#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// floor(sqrt(x)).
natural squareroot(const natural& x);
/// floor(x^(1/k)), for k >= 1.
natural root(const natural& x, std::uint64_t k);
}  // namespace detail
}  // namespace QUORVEL
