// The kernels on digit strings: products, powers and division, each through one frame that packs
// the operands into limbs of base 10^18 and holds the results and the scratch of the limb kernels.
#include "kernel/decimal.hpp"

#include "kernel/digits.hpp"
#include "kernel/divide.hpp"
#include "kernel/product.hpp"
#include "kernel/scratch.hpp"
#include "kernel/transform/backend.hpp"
#include "kernel/tuning.hpp"

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
    explicit limbframe(std::size_t limbs) : space(limbs), room(space.data, limbs) {}
    /// `count` limbs holding the `len` digits at `d` (zero above them).
    u64* packed(const std::int8_t* d, std::size_t len, std::size_t count)
    {
        u64* x = room.take(count);
        pack(d, len, x, count);
        return x;
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
};

// Bytes of scratch as limbs.
std::int8_t* bytes(limbframe& frame, std::size_t count)
{
    return static_cast<std::int8_t*>(static_cast<void*>(frame.take(count / 8 + 1)));
}
}  // namespace

void mullow(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* out, std::size_t n)
{
    la = std::min(la, n);
    lb = std::min(lb, n);
    if (la == 0 || lb == 0)
    {
        std::memset(out, 0, n);
        return;
    }
    const transform::backend& via = transform::choosebackend();
    const std::size_t m = limbsfor(n);  // limbs of the result
    std::size_t na = limbsfor(la), nb = limbsfor(lb);
    const bool split = std::min(na, nb) >= tuning::shortfrom;
    if (split)
        na = nb = m;  // the split works on operands padded to the result's length
    limbframe frame(na + nb + m + (split ? shortmulscratch(m, via) : 0));
    const u64* pa = frame.packed(a, la, na);
    const u64* pb = frame.packed(b, lb, nb);
    u64* pr = frame.take(m);
    if (split)
        shortmul(pr, pa, pb, m, frame.take(shortmulscratch(m, via)), via);
    else
        columnproduct(pr, pa, na, pb, nb, m);
    unpack(pr, out, n);
}

void powlow(const std::int8_t* base, std::size_t lbase, std::uint64_t exponent, std::int8_t* out,
            std::size_t n)
{
    assert(n > 0 && disjoint(out, n, base, lbase));
    const transform::backend& via = transform::choosebackend();
    const std::size_t m = limbsfor(n);
    // The base, the power so far and its next value, then the scratch of the products.
    limbframe frame(3 * m + shortmulscratch(m, via));
    const u64* b = frame.packed(base, std::min(lbase, n), m);
    u64* r = frame.zeros(m);
    u64* t = frame.take(m);
    u64* below = frame.take(shortmulscratch(m, via));
    if (exponent == 0)
        r[0] = 1;
    else
    {
        // Left to right: square for every bit below the top one, multiply by the base where it
        // is set. Only the low m limbs are ever formed.
        std::memcpy(r, b, m * sizeof(u64));
        int bit = 63;
        while ((exponent >> bit) == 0) --bit;
        while (bit-- > 0)
        {
            shortmul(t, r, r, m, below, via);
            std::swap(r, t);
            if ((exponent >> bit) & 1)
            {
                shortmul(t, r, b, m, below, via);
                std::swap(r, t);
            }
        }
    }
    unpack(r, out, n);
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
        unpack(u, shifted, lb + s);  // the remainder times 10^s
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
                     : na + nb + m + dividescratch(na, nb, via)));
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
            unpack(pr, r, n);
    }
    if (q != nullptr)
        unpack(pq, q, n);
}
}  // namespace detail
}  // namespace QUORVEL
