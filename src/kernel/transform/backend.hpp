// Internal: the implementations of the transform, one per instruction set, and the choice among
// them. Not installed.
#pragma once

#include "kernel/transform/modular.hpp"
#include "kernel/wordcolumns.hpp"

#include <cstddef>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
/// One implementation of the transform.
struct backend
{
    const char* name;
    /// Whether this processor runs it (and this build has it).
    bool (*available)();
    /// The product length in limbs from which it beats Karatsuba (kernel/tuning.hpp).
    std::size_t from;
    /// The bits of the Shoup quotients in its tables of roots; 0 for tables of doubles (the roots
    /// as doubles in place of the quotients).
    unsigned quotientbits;
    /// The residues of one prime (modular.hpp, `job`).
    void (*residues)(const job&, const roottable&, const prime&);
    /// The coefficients from their residues, as limbs (transform.hpp, `recombine`).
    void (*recombine)(u64* r, std::size_t count, u64* const residues[3], bool whole);
    /// The kernels of products in words below the transform (kernel/wordmul.hpp), or null where
    /// the instruction set has no fast vector products of 32-bit words: such products then go by
    /// limbs.
    const wordkernels* words;
};

/// The backends of this build, the fastest first; the last, `scalar`, runs everywhere.
extern const backend scalarbackend;  // portable: 64-bit words, 128-bit products
extern const backend ifmabackend;    // x86-64 with AVX-512 IFMA: eight 52-bit lanes
extern const backend fmabackend;     // x86-64 with AVX2 and FMA: four doubles
extern const backend neonbackend;    // 64-bit ARM: two doubles
constexpr std::size_t backendcount = 4;
extern const backend* const backends[backendcount];

/// The backend an operation uses: the fastest one available, unless one was forced. An operation
/// asks once and passes the answer down, so its sizes and its path always agree.
const backend& choosebackend();
/// For tests and benchmarks: makes `choosebackend` give `which` (an available backend), or its
/// own choice again with null. Returns the one forced before.
const backend* forcebackend(const backend* which);
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
