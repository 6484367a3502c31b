// Internal: products of long limb strings by a number-theoretic transform. Not installed.
#pragma once

#include "kernel/transform/backend.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// The longest transform: 2^31 (the primes would allow 3 * 2^30 and beyond, but a coefficient of
/// a longer product could exceed what their residues determine; modular.hpp). A product needs a
/// length of na + nb - 1 or more.
constexpr std::uint64_t longesttransform = std::uint64_t{1} << 31;

/// r[0, count) = the low `count` limbs of a[0, na) * b[0, nb) (limbs of base 10^18, each below
/// 10^18; na, nb >= 1; count <= na + nb, all of the product where it is na + nb), by transforms
/// modulo three primes on the backend `via` and the Chinese remainder theorem, which joins only
/// the coefficients below `count`. When `a` and `b` are the same limbs, one forward transform
/// serves both (a square). Throws std::bad_alloc, and std::length_error when na + nb - 1 exceeds
/// `longesttransform`.
void transformproduct(std::uint64_t* r, const std::uint64_t* a, std::size_t na,
                      const std::uint64_t* b, std::size_t nb, std::size_t count,
                      const transform::backend& via);

namespace transform
{
/// Writes r[0, count) from the coefficients 0 to count - 1 of a product, given as their residues
/// below p modulo the three primes, each times `crtfactor` of its prime (the arrays are used as
/// scratch), with their carries; where they are `whole` (all of the product's), r[count] too, the
/// limb above them.
void recombine(u64* r, std::size_t count, u64* const residues[3], bool whole);
/// The same four coefficients at a time with AVX2, for the backends of processors that have it
/// (the portable one where the build has no AVX2).
void recombinewide(u64* r, std::size_t count, u64* const residues[3], bool whole);
/// (P / p_k)^-1 modulo p_k, P being the product of the three primes: what the transform of prime
/// k multiplies its residues by, so that `recombine` needs no product modulo a prime.
u64 crtfactor(std::size_t k);
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
