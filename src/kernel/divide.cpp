// Division in base 10^18. The divisor is normalised (multiplied by a one-limb factor so that its
// top limb is at least half the base), then:
// - small divisors or quotients: Knuth's algorithm D, one quotient limb at a time;
// - larger ones: quotient limbs found a block at a time from the top limbs alone, the remainder
//   updated by one column product per block (its inner loop a multiply and an add, like the
//   product's, instead of a multiply, a split by 10^18 and a subtraction per limb);
// - large ones: Newton's iteration for the reciprocal of the divisor on the fast full product, and
//   the quotient from the reciprocal a divisor-length chunk at a time.
#include "kernel/divide.hpp"

#include "kernel/product.hpp"
#include "kernel/tuning.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace QUORVEL
{
namespace detail
{
u64 divsingle(u64* q, const u64* a, std::size_t n, u64 d)
{
    u64 r = 0;
    for (std::size_t i = n; i-- > 0;)
    {
        const u128 cur = static_cast<u128>(r) * limbbase + a[i];  // below d * 10^18
        q[i] = divide2by1(static_cast<u64>(cur >> 64), static_cast<u64>(cur), d, r);
    }
    return r;
}

// Each product is split on its own (as in knuth).
void mulsingle(u64* r, const u64* a, std::size_t n, u64 f)
{
    u64 carry = 0, over = 0;
    for (std::size_t i = 0; i < n; ++i)
    {
        u64 low = 0;
        const u64 high = divbasesmall(static_cast<u128>(a[i]) * f, low);
        const u64 s = low + carry + over;  // below two bases
        over = s >= limbbase ? 1 : 0;
        r[i] = s - over * limbbase;
        carry = high;
    }
    r[n] = carry + over;
}

namespace
{
using tuning::blockfrom;
using tuning::reciprocalbase;

// Knuth's algorithm D. u[0, lu] holds the dividend with an extra top limb; v[0, lv) the divisor,
// lv >= 2, with its top limb at least a tenth of the base, and u[lu - lv + 1, lu] < v. Writes the
// lu - lv + 1 quotient limbs to q and leaves the remainder in u[0, lv) (the limbs above become
// zero). With the top limb at least B / 10, the estimate of a quotient limb from the top three
// limbs of the window and the top two of v is the true limb or one more: the error of a two-limb
// divisor is below B / (B^2 / 10) of a unit.
void knuth(u64* q, u64* u, std::size_t lu, const u64* v, std::size_t lv)
{
    assert(lv >= 2 && v[lv - 1] >= limbbase / 10);
    const u64 vtop = v[lv - 1], vnext = v[lv - 2];
    for (std::size_t j = lu - lv + 1; j-- > 0;)
    {
        // top / vtop fits a word: the top limbs of the window are below v, so top < B (vtop + 1).
        const u128 top = static_cast<u128>(u[j + lv]) * limbbase + u[j + lv - 1];
        u64 remainder = 0;
        u64 qhat = divide2by1(static_cast<u64>(top >> 64), static_cast<u64>(top), vtop, remainder);
        u128 rhat = remainder;
        if (qhat >= limbbase)
        {
            rhat += static_cast<u128>(qhat - (limbbase - 1)) * vtop;
            qhat = limbbase - 1;
        }
        // The three-by-two estimate; once rhat reaches the base the test cannot fail any more.
        while (rhat<limbbase&& static_cast<u128>(qhat) * vnext> rhat * limbbase + u[j + lv - 2])
        {
            --qhat;
            rhat += vtop;
        }
        // u[j, j + lv] -= qhat * v. Each product is split into its two limbs on its own, so the
        // splits do not wait for one another; limb i takes the low limb of product i and the high
        // limb of product i - 1 (together below two bases), with a borrow of 0, 1 or 2.
        u64 carry = 0, borrow = 0;
        for (std::size_t i = 0; i < lv; ++i)
        {
            u64 low = 0;
            const u64 high = divbasesmall(static_cast<u128>(qhat) * v[i], low);
            const u64 d = low + carry + borrow;
            const u64 x = u[i + j];
            borrow = (x < d ? 1U : 0U) + (x + limbbase < d ? 1U : 0U);
            u[i + j] = x + borrow * limbbase - d;
            carry = high;
        }
        // The window is now below v, its top limb zero, or it went below zero and its top limb
        // wrapped: then qhat was one too large, and adding v back brings the top limb to zero.
        u[j + lv] -= carry + borrow;
        while (u[j + lv] != 0)
        {
            --qhat;
            u[j + lv] += addinto(u + j, lv, v, lv);
        }
        q[j] = qhat;
    }
}

// Subtracts 1 from the k-limb number x (which is not zero).
void decrement(u64* x, std::size_t k)
{
    for (std::size_t i = 0; i < k; ++i)
    {
        if (x[i] != 0)
        {
            --x[i];
            return;
        }
        x[i] = limbbase - 1;
    }
}

// Adds 1 to the k-limb number x, dropping a carry out of it.
void increment(u64* x, std::size_t k)
{
    for (std::size_t i = 0; i < k; ++i)
    {
        if (x[i] != limbbase - 1)
        {
            ++x[i];
            return;
        }
        x[i] = 0;
    }
}

// x[0, n] = (B^(2n) - 1) / a, exactly, for a[0, n) with its top limb at least half the base.
// Takes 2n + 1 limbs of scratch.
void ninesquotient(u64* x, const u64* a, std::size_t n, arena room)
{
    u64* all = room.take(2 * n + 1);
    std::fill(all, all + 2 * n, limbbase - 1);
    all[2 * n] = 0;
    if (n == 1)
    {
        x[1] = 0;
        divsingle(x, all, 2, a[0]);
        return;
    }
    knuth(x, all, 2 * n, a, n);
}

// The quotient limbs found per block for a divisor of lv limbs. A block costs about k * k
// multiplications for its estimate and k + lv splits of a column by 10^18, each worth about ten:
// about sqrt(10 lv) balances them. At most 128, and two fewer than lv (the estimate looks at two
// more divisor limbs than the block is long).
std::size_t blocksize(std::size_t lv)
{
    std::size_t k = 16;
    while (k < 128 && k * k < 10 * lv) k += 8;
    return std::min(k, lv - 2);
}

std::size_t blockedscratch(std::size_t lv)
{
    const std::size_t k = blocksize(lv), t = k + 2;
    return (2 * t + 1) + (t + 1) + (k + 1) + (k + t + 2) + (k + lv);
}

// The same result as knuth, for lv >= 3, a block of k quotient limbs at a time. The window of a
// block is u[lo, hi + lv), its top lv limbs below v. Its quotient is estimated from its top k + t
// limbs and the top t = k + 2 limbs of v: their quotient is the true one or one more, since v is
// normalised; and that quotient is estimated in turn, without dividing, as Barrett reduction does,
// from a reciprocal of the top of v made once: at most two less. The window is then reduced by the
// estimate times v, one column product, and the estimate corrected (at most once down, twice up).
void blocked(u64* q, u64* u, std::size_t lu, const u64* v, std::size_t lv, arena room)
{
    const std::size_t kmax = blocksize(lv), t = kmax + 2;
    const u64* vtop = v + lv - t;
    u64* x = room.take(t + 1);
    ninesquotient(x, vtop, t, room);
    u64* estimate = room.take(kmax + 1);
    u64* wide = room.take(kmax + t + 2);
    u64* product = room.take(kmax + lv);
    for (std::size_t hi = lu - lv + 1; hi > 0;)
    {
        const std::size_t k = std::min(kmax, hi), lo = hi - k;
        u64* window = u + lo;  // k + lv limbs
        // The top k + 1 limbs of the window over B^(t - 1) (of its top k + t), times x, over
        // B^(t + 1).
        columnproduct(wide, window + lv - 1, k + 1, x, t + 1, k + t + 2);
        std::memcpy(estimate, wide + t + 1, (k + 1) * sizeof(u64));
        if (estimate[k] != 0)  // 10^(18k): the block's quotient is below that
            std::fill(estimate, estimate + k, limbbase - 1);
        columnproduct(product, estimate, k, v, lv, k + lv);
        if (sublimbs(window, k + lv, product, k + lv) != 0)
        {
            decrement(estimate, k);
            addinto(window, k + lv, v, lv);  // its carry cancels the borrow
        }
        // The two divisor limbs beyond the block's length keep the estimate within one above
        // and two below the quotient (with one fewer it could fall further below, and the loop
        // would still end right, only later): checked in Debug builds.
        [[maybe_unused]] int raised = 0;
        while (limblength(window + lv, k) != 0 || comparelimbs(window, v, lv) >= 0)
        {
            sublimbs(window, k + lv, v, lv);
            increment(estimate, k);
            ++raised;
            assert(raised <= 2 && "the block's estimate was more than two below its quotient");
        }
        std::memcpy(q + lo, estimate, k * sizeof(u64));
        hi = lo;
    }
}

// ---- Newton's iteration for the reciprocal (Brent and Zimmermann, "Modern Computer
// Arithmetic", algorithm 3.5): for a[0, n) with its top limb at least half the base, x[0, n] such
// that a * x < B^(2n) <= a * (x + 2).

std::size_t reciprocalscratch(std::size_t n, const transform::backend& via)
{
    if (n < reciprocalbase)
        return 2 * n + 1;
    const std::size_t l = (n - 1) / 2, h = n - l, lt = n + h - l;
    const std::size_t after =
        (n + h + 1) + fullmulscratch(n, h + 1, via) + (lt + h + 1) + fullmulscratch(lt, h + 1, via);
    return (h + 1) + std::max(reciprocalscratch(h, via), after);
}

void reciprocal(u64* x, const u64* a, std::size_t n, arena room, const transform::backend& via)
{
    if (n < reciprocalbase)
    {
        ninesquotient(x, a, n, room);  // exactly
        return;
    }
    const std::size_t l = (n - 1) / 2, h = n - l, lt = n + h - l;
    u64* xh = room.take(h + 1);
    reciprocal(xh, a + l, h, room, via);
    // t = a * xh, brought below B^(n + h) by lowering xh.
    u64* t = room.take(n + h + 1);
    fullmul(t, a, n, xh, h + 1, room.take(fullmulscratch(n, h + 1, via)), via);
    while (t[n + h] != 0)
    {
        decrement(xh, h + 1);
        sublimbs(t, n + h + 1, a, n);
    }
    // t = B^(n + h) - t: the nines' complement, plus one.
    for (std::size_t i = 0; i < n + h; ++i) t[i] = limbbase - 1 - t[i];
    increment(t, n + h);
    // x = xh * B^l + (t / B^l) * xh / B^(2h - l)
    u64* u = room.take(lt + h + 1);
    fullmul(u, t + l, lt, xh, h + 1, room.take(fullmulscratch(lt, h + 1, via)), via);
    std::fill(x, x + n + 1, u64{0});
    std::memcpy(x + l, xh, (h + 1) * sizeof(u64));
    const std::size_t shift = 2 * h - l;
    addinto(x, n + 1, u + shift, lt + h + 1 - shift);
}

std::size_t newtonscratch(std::size_t lv, const transform::backend& via)
{
    const std::size_t n = lv;
    const std::size_t chunk = (2 * n + 2) + fullmulscratch(n, n + 1, via) + 3 * (n + 1) +
                              shortmulscratch(n + 1, via) + 3 * n;
    return (n + 1) + std::max(reciprocalscratch(n, via), std::max(chunk, blockedscratch(lv)));
}

// Whether x is the reciprocal of a[0, n) that `reciprocal` promises: a x < B^(2n) <= a (x + 2).
// (Its last step's "plus one" is a margin of this bound; without it the chunks' corrections would
// still end right, so the bound is checked in Debug builds rather than left to the results.)
[[maybe_unused]] bool reciprocalholds(const u64* a, std::size_t n, const u64* x, arena room,
                                      const transform::backend& via)
{
    u64* p = room.take(2 * n + 1 + n + 1);  // a x, then a x + 2a
    fullmul(p, a, n, x, n + 1, room.take(fullmulscratch(n, n + 1, via)), via);
    if (p[2 * n] != 0)
        return false;
    u64* twice = p + 2 * n + 1;
    addlimbs(twice, a, a, n);  // 2a, n + 1 limbs
    addinto(p, 2 * n + 1, twice, n + 1);
    return p[2 * n] != 0;
}

// The buffers of a chunk of Newton's division, made once for all chunks.
struct chunkspace
{
    chunkspace(std::size_t n, arena& room, const transform::backend& via)
        : product(room.take(2 * n + 2)),
          productscratch(room.take(fullmulscratch(n, n + 1, via))),
          qpad(room.take(n + 1)),
          vpad(room.take(n + 1)),
          low(room.take(n + 1)),
          lowscratch(room.take(shortmulscratch(n + 1, via))),
          padded(room.take(2 * n)),
          quotient(room.take(n))
    {
    }
    u64* product;
    u64* productscratch;
    u64* qpad;
    u64* vpad;  // v and a zero limb
    u64* low;
    u64* lowscratch;
    u64* padded;    // a first, short window with zeros above it
    u64* quotient;  // and its quotient
};

// The n quotient limbs of the window w[0, 2n), whose top n limbs are below v, from the reciprocal
// x: (the top n limbs) * x / B^n, at most four too small (Brent and Zimmermann's bounds), then
// corrected. Leaves the remainder in w[0, n) and zeros above.
void chunk(u64* estimate, u64* window, const u64* v, std::size_t n, const u64* x, chunkspace& c,
           const transform::backend& via)
{
    fullmul(c.product, window + n, n, x, n + 1, c.productscratch, via);
    assert(c.product[2 * n] == 0);
    std::memcpy(estimate, c.product + n, n * sizeof(u64));
    // The window less estimate * v, in its low n + 1 limbs: the true value is below 5v.
    std::memcpy(c.qpad, estimate, n * sizeof(u64));
    c.qpad[n] = 0;
    shortmul(c.low, c.qpad, c.vpad, n + 1, c.lowscratch, via);
    sublimbs(window, n + 1, c.low, n + 1);
    std::fill(window + n + 1, window + 2 * n, u64{0});
    while (window[n] != 0 || comparelimbs(window, v, n) >= 0)
    {
        sublimbs(window, n + 1, v, n);
        increment(estimate, n);
    }
}

// The same result as knuth, for a long divisor: the quotient a chunk of n = lv limbs at a time,
// from the reciprocal x of v. A first chunk shorter than n goes by blocks where it is short enough
// for their cost (its length times lv) to stay below a chunk's; else it is a whole chunk on a
// window with zeros above it, so that no length of the quotient costs much more than the next.
void newton(u64* q, u64* u, std::size_t lu, const u64* v, std::size_t lv, arena room,
            const transform::backend& via)
{
    const std::size_t n = lv;
    u64* x = room.take(n + 1);
    reciprocal(x, v, n, room, via);
    assert(reciprocalholds(v, n, x, room, via));
    // The quotient limbs are q[0, lu - lv + 1); the window of the chunk [lo, hi) is
    // u[lo, hi + lv), whose top lv limbs are below v.
    std::size_t hi = lu - lv + 1;
    const std::size_t first = hi % n;
    if (first != 0 && first < tuning::shortfirstchunk(n))
    {
        blocked(q + hi - first, u + hi - first, first + lv - 1, v, lv, room);
        hi -= first;
    }
    chunkspace c(n, room, via);
    std::memcpy(c.vpad, v, n * sizeof(u64));
    c.vpad[n] = 0;
    if (first != 0 && first >= tuning::shortfirstchunk(n))
    {
        // The window u[hi - first, hi + lv) of first + n limbs, below v * B^first, with n - first
        // zero limbs above it: a whole chunk whose top n - first quotient limbs are zero.
        u64* w = u + (hi - first);
        std::memcpy(c.padded, w, (first + n) * sizeof(u64));
        std::fill(c.padded + first + n, c.padded + 2 * n, u64{0});
        chunk(c.quotient, c.padded, v, n, x, c, via);
        assert(std::all_of(c.quotient + first, c.quotient + n, [](u64 l) { return l == 0; }));
        std::memcpy(q + hi - first, c.quotient, first * sizeof(u64));
        std::memcpy(w, c.padded, n * sizeof(u64));
        std::fill(w + n, w + first + n, u64{0});
        hi -= first;
    }
    for (; hi > 0; hi -= n)
    {
        const std::size_t lo = hi - n;
        chunk(q + lo, u + lo, v, n, x, c, via);
    }
}
}  // namespace

std::size_t newtonfrom(const transform::backend& via)
{
    return tuning::newtonfrom(via.from);
}

std::size_t normalisedscratch(std::size_t lv, const transform::backend& via)
{
    return lv >= newtonfrom(via) ? newtonscratch(lv, via)
           : lv >= blockfrom     ? blockedscratch(lv)
                                 : 0;
}

void dividenormalised(u64* q, u64* u, std::size_t lu, const u64* v, std::size_t lv, arena room,
                      const transform::backend& via)
{
    assert(lv >= 2 && v[lv - 1] >= (lv >= newtonfrom(via) ? limbbase / 2 : limbbase / 10));
    if (lv >= newtonfrom(via))
        newton(q, u, lu, v, lv, room, via);
    else if (lv >= blockfrom)
        blocked(q, u, lu, v, lv, room);
    else
        knuth(q, u, lu, v, lv);
}

std::size_t dividescratch(std::size_t na, std::size_t nb, const transform::backend& via)
{
    return nb == 1 ? 0 : (na + 1) + (nb + 1) + normalisedscratch(nb, via);
}

void divide(u64* q, u64* r, const u64* a, std::size_t na, const u64* b, std::size_t nb, arena room,
            const transform::backend& via)
{
    assert(na >= nb && nb >= 1 && b[nb - 1] != 0);
    assert(belowbase(a, na) && belowbase(b, nb));
    if (nb == 1)
    {
        r[0] = divsingle(q, a, na, b[0]);
        return;
    }
    // Normalised: the divisor's top limb at least half the base, the dividend scaled alike, with
    // the extra top limb that takes its carry.
    const u64 f = limbbase / (b[nb - 1] + 1);
    u64* u = room.take(na + 1);
    u64* v = room.take(nb + 1);
    mulsingle(u, a, na, f);
    mulsingle(v, b, nb, f);
    assert(v[nb] == 0 && v[nb - 1] >= limbbase / 2);
    dividenormalised(q, u, na, v, nb, room, via);
    [[maybe_unused]] const u64 rest = divsingle(r, u, nb, f);  // the remainder, scaled back
    assert(rest == 0);
}
}  // namespace detail
}  // namespace QUORVEL
