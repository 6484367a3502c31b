// Internal: division of limb strings (base 10^18, least significant limb first). Not installed.
#pragma once

#include "kernel/limb.hpp"
#include "kernel/scratch.hpp"
#include "kernel/transform/backend.hpp"

#include <cstddef>

namespace QUORVEL
{
namespace detail
{
/// q[0, n) = a[0, n) / d; returns a mod d. For 0 < d < 10^18. `q` may be `a`.
u64 divsingle(u64* q, const u64* a, std::size_t n, u64 d);
/// r[0, n] = a[0, n) * f, for f < 10^18. `r` may be `a`.
void mulsingle(u64* r, const u64* a, std::size_t n, u64 f);

/// q[0, lu - lv + 1) = u / v, and the remainder left in u[0, lv) (the limbs above become zero),
/// for u[0, lu] (an extra top limb, with u[lu - lv + 1, lu] < v) and v[0, lv), lv >= 2, whose top
/// limb is at least a tenth of the base (half of it from Newton's threshold on). By Knuth's
/// algorithm, by blocks, or by Newton's reciprocal on the backend `via`, as the divisor's length
/// calls for. Takes `normalisedscratch(lv, via)` limbs from `room`.
void dividenormalised(u64* q, u64* u, std::size_t lu, const u64* v, std::size_t lv, arena room,
                      const transform::backend& via);
std::size_t normalisedscratch(std::size_t lv, const transform::backend& via);

/// q[0, na - nb + 1) = a / b and r[0, nb) = a mod b, for a[0, na) and b[0, nb) with
/// na >= nb >= 1 and b[nb - 1] != 0. `q` and `r` overlap neither input. Takes
/// `dividescratch(na, nb, via)` limbs from `room`.
void divide(u64* q, u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb, arena room,
            const transform::backend& via);
std::size_t dividescratch(std::size_t na, std::size_t nb, const transform::backend& via);

/// Newton's division from this divisor length on the backend `via`.
std::size_t newtonfrom(const transform::backend& via);
}  // namespace detail
}  // namespace QUORVEL
