// Internal: the transform's tables of roots of unity, kept per thread. Not installed.
#pragma once

#include "kernel/transform/modular.hpp"

#include <cstddef>
#include <vector>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
/// The tables of the three primes for every transform up to twice `half` values, with Shoup
/// quotients of `quotientbits` bits: the thread's kept tables, made again only when a longer
/// transform or another form needs them. Throws std::bad_alloc.
class roots
{
public:
    roots(std::size_t half, unsigned quotientbits);
    /// The tables of prime k.
    roottable of(std::size_t k) const;

private:
    std::vector<u64> own;  // where the thread's kept memory is released (at its end)
    const u64* block;
};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
