// Internal: the vector kernels of products in words of eight digits (wordmul.cpp), one set per
// instruction set, named in the transform's table of backends (a backend without one leaves such
// products to the limbs): the columns, formed with vector products of 32-bit words into 64-bit
// lanes, and the digits of the product's words. Not installed.
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

/// The kernels of one instruction set: the columns, the digits in and out of words as `towords`
/// and `fromwords` (kernel/words.hpp) take and give them, and the digits in and out of limbs of
/// base 10^18 (kernel/digits.hpp, `pack` and `unpack`), as many limbs at a time as the kernel
/// takes while they last, each returning the limbs done: `limbs`, those of the first of `count`
/// groups of eighteen digits at d, with `bad` made non-zero where a byte is above 9;
/// `limbdigits`, the eighteen digits of each of the first of `count` limbs (below 10^18).
struct wordkernels
{
    columnkernel columns;
    std::size_t (*words)(const std::int8_t* d, std::size_t len, std::uint32_t* words, u64& bad);
    void (*digits)(const std::uint32_t* values, std::int8_t* out, std::size_t n);
    std::size_t (*limbs)(const std::int8_t* d, std::size_t count, u64* limbs, u64& bad);
    std::size_t (*limbdigits)(const u64* limbs, std::int8_t* out, std::size_t count);
};

#if defined(QUORVEL_X86_TARGETS)
/// The kernels for processors with AVX2 (x86-64 builds with GCC or Clang): call them only where
/// the processor has AVX2. The columns are in wordcolumns.cpp, the digits in and out (64 at a
/// time, and in and out of limbs four at a time) in worddigits.cpp.
void avx2columns(u64* c, std::size_t count, const std::uint32_t* x, std::size_t nx, const u64* y,
                 std::size_t ny);
std::size_t avx2words(const std::int8_t* d, std::size_t len, std::uint32_t* words, u64& bad);
void avx2digits(const std::uint32_t* values, std::int8_t* out, std::size_t n);
std::size_t avx2limbs(const std::int8_t* d, std::size_t count, u64* limbs, u64& bad);
std::size_t avx2limbdigits(const u64* limbs, std::int8_t* out, std::size_t count);
extern const wordkernels avx2wordkernels;
#endif
}  // namespace detail
}  // namespace QUORVEL
