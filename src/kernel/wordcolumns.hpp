// Internal: the columns of a product of words of eight digits, formed with vector products of
// 32-bit words into 64-bit lanes: the inner loop of wordmul.cpp, one per instruction set, named in
// the transform's table of backends (a backend without one leaves such products to the limbs).
// Not installed.
#pragma once

#include "kernel/limb.hpp"
#include "kernel/target.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// Zero lanes a column kernel reads on either side of its `y`.
constexpr std::size_t columnpad = 16;

/// c[t] = the sum of x[i] y[t - i] over the i where both exist, for t < count: the low `count`
/// columns of the product of x (nx words) and y (ny words, one per 64-bit lane, with `columnpad`
/// zero lanes before y[0] and after y[ny - 1]). Words are below 2^32; the caller sees that every
/// column is below 2^64.
using columnkernel = void (*)(u64* c, std::size_t count, const std::uint32_t* x, std::size_t nx,
                              const u64* y, std::size_t ny);

#if defined(QUORVEL_X86_TARGETS)
/// The kernel for processors with AVX2 (x86-64 builds with GCC or Clang): call it only where the
/// processor has AVX2.
void avx2columns(u64* c, std::size_t count, const std::uint32_t* x, std::size_t nx, const u64* y,
                 std::size_t ny);
#endif
}  // namespace detail
}  // namespace QUORVEL
