// Internal: every threshold of the kernels, in limbs of 18 digits, measured with bench/ (the run
// and the machine are in docs/performance.md). Tests, fuzzers and benchmarks read them from here.
// Not installed.
#pragma once

#include <cstddef>

namespace QUORVEL
{
namespace detail
{
namespace tuning
{
/// Products: the short (low-half) product splits from this length (BM_limbkernel); below it the
/// column schoolbook forms the low limbs alone.
constexpr std::size_t shortfrom = 128;
/// Sums in place of up to this many digits are formed in a buffer on the stack in the pass that
/// checks the digits (bench/instructions.sh); longer ones check first, then add in place.
constexpr std::size_t shortsum = 144;
/// Full products: Karatsuba from this length (BM_limbkernel).
constexpr std::size_t karatsubafrom = 200;
/// Products of digit strings go in words of eight digits (kernel/wordmul.hpp) where the backend
/// has a column kernel and neither operand has more digits than this: below the AVX2 transform's
/// threshold of 350 limbs (6,300 digits), where the words took 0.5 to 0.75 of the limbs' time
/// from 256 digits up, whole and low products alike. Karatsuba splits their columns from this
/// many words (a throwaway timing of `mullow` with the column kernel and without, 2026-12-10).
constexpr std::size_t wordmulupto = 6144;
constexpr std::size_t wordkaratsubafrom = 96;

/// The number-theoretic transform from these product lengths, per backend (BM_limbkernel with
/// each backend forced).
constexpr std::size_t transformfromscalar = 1100;
constexpr std::size_t transformfromifma = 450;
constexpr std::size_t transformfromfma = 350;
/// NEON's: no 64-bit ARM machine here to measure on; AVX2's, as the closest design.
constexpr std::size_t transformfromneon = transformfromfma;
/// A full product takes the transform from two thirds of its backend's threshold above (the
/// shorter operand's limbs): that threshold is a low half's, whose Karatsuba costs about half of a
/// full one's while the transform costs the same. Whole products of 6,400 to 8,000 digits on
/// IFMA, and of 12,000 to 16,000 on the scalar backend, took half their time or less by the
/// transform (a throwaway timing with each backend forced, 2026-12-10).
constexpr std::size_t fulltransformfrom(std::size_t transformfrom)
{
    return transformfrom * 2 / 3;
}
/// Transform blocks up to this many values are done stage by stage; larger ones recurse depth
/// first, so that each block of this size is finished while it is in the cache.
constexpr std::size_t transformleaf = std::size_t{1} << 12;
/// A transform of length 2^k is truncated to the first multiple of this many values that holds
/// the product (kernel/transform/engine.hpp): blocks of it are transformed whole or not at all.
/// For a product of 20,000 coefficients the truncated 2^15 takes 72% of the full one's time with
/// AVX2 and with IFMA, and 73% and 87% of the time of length 3 * 2^13, which it therefore replaces;
/// a step of 64 rather than 256 takes 3 to 8% off products of 700 to 1,400 coefficients (a
/// throwaway timing of the residues and their recombination, each backend forced, 2026-12-10).
/// A multiple of every lane's width.
constexpr std::size_t transformstep = 64;

/// Division (BM_divide): the blocked division from this divisor length; below it Knuth's
/// algorithm, one quotient limb at a time.
constexpr std::size_t blockfrom = 32;
/// Newton's reciprocal is found by division below this length.
constexpr std::size_t reciprocalbase = 32;
/// Newton's division from this multiple of the transform's threshold: where its products are
/// transforms well above that threshold.
constexpr std::size_t newtonfrom(std::size_t transformfrom)
{
    return transformfrom * 9 / 5;
}
/// In Newton's division, a first chunk of the quotient shorter than this many limbs (for a
/// divisor of n limbs) goes by blocks, whose cost grows with its length times n; a longer one is a
/// whole chunk, whose cost grows with n alone (BM_dividelengths: a block of 6,500 limbs of a
/// divisor of 52,000 took four times a chunk).
constexpr std::size_t shortfirstchunk(std::size_t n)
{
    return n / 8 < 256 ? n / 8 : 256;
}
}  // namespace tuning
}  // namespace detail
}  // namespace QUORVEL
