// Products of long limb strings by a number-theoretic transform: limbs below 10^18 are transformed
// modulo three primes just below 2^50 (modular.hpp), multiplied pointwise, transformed back on
// the backend the operation chose (backend.hpp), and joined by the Chinese remainder theorem
// straight into limbs of base 10^18 with their carries (recombine.cpp).
#include "kernel/transform/transform.hpp"

#include "kernel/scratch.hpp"
#include "kernel/transform/tables.hpp"
#include "kernel/tuning.hpp"

#include <algorithm>
#include <cassert>
#include <stdexcept>

namespace QUORVEL
{
namespace detail
{
void transformproduct(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb,
                      std::size_t count, const transform::backend& via)
{
    using namespace transform;
    assert(na >= 1 && nb >= 1 && count <= na + nb);
    const std::uint64_t need = std::uint64_t{na} + nb - 1;
    if (need > longesttransform)
        throw std::length_error("fixedint: product beyond the longest transform");
    // The shortest transform that holds the product: 2^k (from two vectors of the widest lane),
    // truncated to a multiple of the step.
    std::size_t n = 16;
    while (n < need) n *= 2;
    const std::size_t step = tuning::transformstep;
    const std::size_t keep = n <= step ? n : (need + step - 1) / step * step;
    // A square (x * x makes a copy of x, so equal limbs count too) needs one forward transform.
    const bool square = na == nb && (a == b || std::equal(a, a + na, b));
    const roots tables(std::max<std::size_t>(n / 2, 8), via.quotientbits);
    const scratch space(4 * n, slot::transform);
    u64* residues[3] = {space.data, space.data + n, space.data + 2 * n};
    for (std::size_t k = 0; k < 3; ++k)
    {
        const job j{residues[k], space.data + 3 * n, a, na, b, nb, n, keep, square, crtfactor(k)};
        via.residues(j, tables.of(k), primes[k]);
    }
    // The low limbs need only the coefficients below them: carries go up.
    const bool whole = count == na + nb;
    via.recombine(r, whole ? na + nb - 1 : count, residues, whole);
}
}  // namespace detail
}  // namespace QUORVEL
