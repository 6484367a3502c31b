// The kernels on digit strings: products, powers and division, each through one frame that packs
// the operands into limbs of base 10^18 and holds the results and the scratch of the limb kernels.
#include "kernel/decimal.hpp"

#include "kernel/digits.hpp"
#include "kernel/divide.hpp"
#include "kernel/limbdigits.hpp"
#include "kernel/product.hpp"
#include "kernel/scratch.hpp"
#include "kernel/transform/backend.hpp"
#include "kernel/tuning.hpp"
#include "kernel/wordmul.hpp"
#include "kernel/wordproduct.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace QUORVEL
{
namespace detail
{
namespace
{
// One scratch block for a kernel on digit strings: the operands as limbs, the results, and what
// the limb kernels below need, handed out in that order.
class limbframe
{
public:
    /// With the vector kernels of the operation's backend, for the digits in and out (null: none).
    limbframe(std::size_t limbs, const wordkernels* kernels)
        : space(limbs), room(space.data, limbs), vector(kernels)
    {
    }
    /// `count` limbs holding the `len` digits at `d` (zero above them).
    u64* packed(const std::int8_t* d, std::size_t len, std::size_t count)
    {
        u64* x = room.take(count);
        pack(d, len, x, count, vector);
        return x;
    }
    /// The low `n` digits of the limbs at x, written to `out`.
    void unpacked(const u64* x, std::int8_t* out, std::size_t n) const
    {
        unpack(x, out, n, vector);
    }
    /// `count` limbs, all zero.
    u64* zeros(std::size_t count)
    {
        u64* x = room.take(count);
        std::fill(x, x + count, u64{0});
        return x;
    }
    /// `count` limbs to be written.
    u64* take(std::size_t count) { return room.take(count); }
    /// What is left, for the kernels below.
    arena rest() const { return room; }

private:
    const scratch space;
    arena room;
    const wordkernels* vector;
};

// Bytes of scratch as limbs.
std::int8_t* bytes(limbframe& frame, std::size_t count)
{
    return static_cast<std::int8_t*>(static_cast<void*>(frame.take(count / 8 + 1)));
}
}  // namespace

namespace
{
// How the low m limbs of a product of na and nb limbs (both at most m) are formed, and the
// scratch that takes: the full product where it fits in m limbs, or where it is a transform
// (whose cost follows na + nb, not m); the low columns alone for a short operand; else the short
// product, on operands padded to m limbs.
enum class lowmethod
{
    full,
    columns,
    shortproduct
};

lowmethod methodfor(std::size_t na, std::size_t nb, std::size_t m, const transform::backend& via)
{
    if (na + nb <= m)
        return lowmethod::full;
    if (std::min(na, nb) < tuning::shortfrom)
        return lowmethod::columns;
    return m >= via.from ? lowmethod::full : lowmethod::shortproduct;
}

std::size_t lowscratch(std::size_t na, std::size_t nb, std::size_t m, const transform::backend& via)
{
    switch (methodfor(na, nb, m, via))
    {
        case lowmethod::full:
            return na + nb + fullmulscratch(na, nb, via);
        case lowmethod::columns:
            return 0;
        default:
            return 2 * m + shortmulscratch(m, via);
    }
}

// At least what `lowscratch` takes for any na, nb <= m: the full product's buffer (2m) and its
// scratch (Karatsuba's, below 4 min(na, nb), plus 2 min(na, nb) for unbalanced pieces), or the
// short product's.
std::size_t lowscratchmost(std::size_t m, const transform::backend& via)
{
    return std::max(8 * m + fullmulscratch(m, m, via), 2 * m + shortmulscratch(m, via));
}

// r[0, m) = the low m limbs of a[0, na) * b[0, nb), for 1 <= na, nb <= m; `r` overlaps neither
// operand nor the scratch.
void lowproduct(u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb, std::size_t m,
                arena room, const transform::backend& via)
{
    switch (methodfor(na, nb, m, via))
    {
        case lowmethod::full:
        {
            // Straight into r where the whole product fits it, else through a buffer.
            u64* full = na + nb <= m ? r : room.take(na + nb);
            fullmullow(full, a, na, b, nb, m, room.take(fullmulscratch(na, nb, via)), via);
            const std::size_t kept = std::min(na + nb, m);
            if (full != r)
                std::memcpy(r, full, kept * sizeof(u64));
            std::fill(r + kept, r + m, u64{0});
            return;
        }
        case lowmethod::columns:
            columnproduct(r, a, na, b, nb, m);
            return;
        default:
        {
            // The short product takes operands of m limbs: padded copies.
            u64* pa = room.take(m);
            u64* pb = room.take(m);
            std::memcpy(pa, a, na * sizeof(u64));
            std::fill(pa + na, pa + m, u64{0});
            std::memcpy(pb, b, nb * sizeof(u64));
            std::fill(pb + nb, pb + m, u64{0});
            shortmul(r, pa, pb, m, room.take(shortmulscratch(m, via)), via);
        }
    }
}
}  // namespace

void mullow(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* out, std::size_t n)
{
    la = std::min(la, n);
    lb = std::min(lb, n);
    if (n <= wordproductdigits && wordproduct(a, la, b, lb, out, n))
        return;
    if (la == 0 || lb == 0)
    {
        std::memset(out, 0, n);
        return;
    }
    const transform::backend& via = transform::choosebackend();
    if (wordmulfits(la, lb, via) && wordmul(a, la, b, lb, out, n, via))
        return;
    const std::size_t m = limbsfor(n);  // limbs of the result
    const std::size_t na = limbsfor(la), nb = limbsfor(lb);
    limbframe frame(na + nb + m + lowscratch(na, nb, m, via), via.words);
    const u64* pa = frame.packed(a, la, na);
    const u64* pb = frame.packed(b, lb, nb);
    u64* pr = frame.take(m);
    lowproduct(pr, pa, na, pb, nb, m, frame.rest(), via);
    frame.unpacked(pr, out, n);
}

void powlow(const std::int8_t* base, std::size_t lbase, std::uint64_t exponent, std::int8_t* out,
            std::size_t n)
{
    assert(n > 0 && disjoint(out, n, base, lbase));
    const transform::backend& via = transform::choosebackend();
    const std::size_t m = limbsfor(n);
    // The base, the power so far and its next value, then the scratch of the products (at most
    // what the longest of them takes).
    limbframe frame(3 * m + lowscratchmost(m, via), via.words);
    const std::size_t nb = std::max<std::size_t>(limbsfor(std::min(lbase, n)), 1);
    const u64* b = frame.packed(base, std::min(lbase, n), nb);
    u64* r = frame.zeros(m);
    u64* t = frame.take(m);
    const arena below = frame.rest();
    std::size_t nr = 1;  // the limbs of the power so far up to its top non-zero one
    if (exponent == 0)
        r[0] = 1;
    else
    {
        // Left to right: square for every bit below the top one, multiply by the base where it
        // is set. Only the low m limbs are ever formed, and only as many as the power has.
        std::memcpy(r, b, nb * sizeof(u64));
        nr = std::max<std::size_t>(limblength(r, nb), 1);
        int bit = 63;
        while ((exponent >> bit) == 0) --bit;
        while (bit-- > 0)
        {
            lowproduct(t, r, nr, r, nr, m, below, via);
            std::swap(r, t);
            nr = std::max<std::size_t>(limblength(r, m), 1);
            if ((exponent >> bit) & 1)
            {
                lowproduct(t, r, nr, b, nb, m, below, via);
                std::swap(r, t);
                nr = std::max<std::size_t>(limblength(r, m), 1);
            }
        }
    }
    frame.unpacked(r, out, n);
}

namespace
{
// Divides digit strings whose divisor has two limbs or more and fewer than Newton's threshold.
// Both are normalised by a shift of s digits (a multiplication by 10^s), which puts the divisor's
// top digit at the top of its top limb: at least a tenth of the base, as the division needs there.
// The shift costs nothing but a copy, and the remainder is shifted back the same way.
void dividedigits(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
                  u64* pq, std::int8_t* r, std::size_t n, limbframe& frame,
                  const transform::backend& via)
{
    const std::size_t s = (limbdigits - lb % limbdigits) % limbdigits;
    const std::size_t nu = limbsfor(la + s), nv = (lb + s) / limbdigits;
    std::int8_t* shifted = bytes(frame, la + s);
    std::memset(shifted, 0, s);
    std::memcpy(shifted + s, b, lb);
    const u64* v = frame.packed(shifted, lb + s, nv);
    std::memcpy(shifted + s, a, la);
    u64* u = frame.packed(shifted, la + s, nu + 1);  // with the extra top limb, zero
    dividenormalised(pq, u, nu, v, nv, frame.rest(), via);
    if (r != nullptr)
    {
        frame.unpacked(u, shifted, lb + s);  // the remainder times 10^s
        std::memcpy(r, shifted + s, lb);
        std::memset(r + lb, 0, n - lb);
    }
}
}  // namespace

void divmod(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* q, std::int8_t* r, std::size_t n)
{
    assert(la <= n);
    la = significant(a, la);
    lb = significant(b, lb);
    assert(lb > 0);
    if (la < lb || (la == lb && comparedigits(a, la, b, lb) < 0))
    {
        // The quotient is zero and the remainder a; `r` or `q` may be `a` itself.
        if (r != nullptr && r != a)
        {
            std::memcpy(r, a, la);
            std::memset(r + la, 0, n - la);
        }
        if (q != nullptr)
            std::memset(q, 0, n);
        return;
    }
    const transform::backend& via = transform::choosebackend();
    const std::size_t na = limbsfor(la), nb = limbsfor(lb), m = limbsfor(n);
    const bool shifted = nb >= 2 && nb < newtonfrom(via);
    // The quotient's limbs, as long as the width, then the division's own scratch.
    limbframe frame(
        m + (shifted ? (la + limbdigits) / 8 + 1 + (na + 2) + nb + normalisedscratch(nb, via)
                     : na + nb + m + dividescratch(na, nb, via)),
        via.words);
    u64* pq = frame.zeros(m);
    if (shifted)
        dividedigits(a, la, b, lb, pq, r, n, frame, via);
    else
    {
        const u64* pa = frame.packed(a, la, na);
        const u64* pb = frame.packed(b, lb, nb);
        u64* pr = frame.zeros(m);
        divide(pq, pr, pa, na, pb, nb, frame.rest(), via);
        if (r != nullptr)
            frame.unpacked(pr, r, n);
    }
    if (q != nullptr)
        frame.unpacked(pq, q, n);
}
}  // namespace detail
}  // namespace QUORVEL
