// Internal: products of limb strings (base 10^18, least significant limb first, each limb below
// 10^18). Not installed.
#pragma once

#include "kernel/limb.hpp"
#include "kernel/transform/backend.hpp"

#include <cstddef>

namespace QUORVEL
{
namespace detail
{
/// A column of the schoolbook has at most min(na, nb) terms below 10^36; up to this many, with
/// the carry, fit in 128 bits.
constexpr std::size_t maxcolumn = 255;

/// r[0, m) = the low m limbs of a[0, na) * b[0, nb), column by column; for min(na, nb) <=
/// `maxcolumn`. `r` overlaps neither input.
void columnproduct(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb,
                   std::size_t m);
/// r[0, na + nb) = a[0, na) * b[0, nb), the full product, on the transform backend `via` where
/// the lengths call for it. `scratch` holds `fullmulscratch(na, nb, via)` limbs; `r` overlaps
/// neither the inputs nor the scratch.
void fullmul(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb, u64* scratch,
             const transform::backend& via);
std::size_t fullmulscratch(std::size_t na, std::size_t nb, const transform::backend& via);
/// r[0, m) = the low m limbs of a[0, na) * b[0, nb), as `fullmul` forms them, into an `r` of na +
/// nb limbs whose limbs from m on it may leave as anything: where the product is a transform, only
/// the coefficients below m are joined. `scratch` as fullmul's.
void fullmullow(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb, std::size_t m,
                u64* scratch, const transform::backend& via);
/// r[0, m) = the low m limbs of a[0, m) * b[0, m). `scratch` holds `shortmulscratch(m, via)`
/// limbs; `r` overlaps neither the inputs nor the scratch.
void shortmul(u64* r, const u64* a, const u64* b, std::size_t m, u64* scratch,
              const transform::backend& via);
std::size_t shortmulscratch(std::size_t m, const transform::backend& via);
}  // namespace detail
}  // namespace QUORVEL
