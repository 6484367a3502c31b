// Internal: the number-theoretic transform, written once over a lane type. Not installed.
//
// A lane type (scalar.cpp, ifma.cpp, fmalane.hpp) holds `width` values modulo a prime and gives
// the arithmetic: the two butterflies (and their forms for the second of two stages at once, which
// a lane may leave less reduced: `forwardsecond`, `inversesecond`; and the inverse's where the
// upper value is known, `truncatedbutterfly`), Montgomery's products (or plain ones, where its
// Montgomery factor is 1), reductions, and, for vectors, the stages that stay inside one vector;
// and how its values are stored (`residuesof`, the limbs that come in as residues, `fromlazy` for
// what the transforms leave, `storeinteger` for the residues below p that go out). The engine
// gives everything else: the recursion, the order of the stages, the truncation, loading,
// pointwise products and scaling.
//
// The transforms are radix 2 of length 2^k, forward by decimation in frequency and back by
// decimation in time, so that no reordering is needed between them, and truncated (van der
// Hoeven's truncated transform): forward, only the first `keep` values are computed; back, the
// coefficients from `keep` on, which are known (zero for a product), stand in for the values not
// computed. Their cost follows `keep` rather than the next power of 2. They replace the lengths
// 3 * 2^k of a radix-3 stage: at those lengths a truncated 2^(k+2) took as long as it with IFMA
// (within 1%), 14 to 18% less time with AVX2 and 6 to 10% less on the portable backend.
// They recurse depth first until a block fits the cache, and keep values below 2p or 4p with
// Harvey's lazy butterflies; twiddle factors come from tables with Shoup's precomputed quotients.
// Pointwise products and the final scaling use Montgomery's reduction, which lets the scaling
// absorb both 1 / length and the Montgomery factor.
//
// Everything here is a template over the lane: a backend compiled for another instruction set
// instantiates its own copy, and no function is shared between backends.
#pragma once

#include "kernel/transform/modular.hpp"
#include "kernel/tuning.hpp"

#include <cassert>
#include <cstddef>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
template <typename Lane>
struct engine
{
    using vec = typename Lane::vec;
    using constants = typename Lane::constants;
    static constexpr std::size_t width = Lane::width;

    /// Decimation in frequency, radix 2, length n (a power of 2, at least `width`): values in
    /// [0, 2p) stay there. With `highzero` (only above the leaves) the upper half of a is taken
    /// as zero without being read, nor written before: an operand of at most half the length.
    static void forward2(u64* a, std::size_t n, const roottable& t, const constants& c,
                         bool highzero = false)
    {
        assert(!highzero || n > tuning::transformleaf);
        if (n > tuning::transformleaf)
        {
            // Above the leaves two stages per pass over the block where its quarters are leaves
            // or larger (half the passes over memory that has left the cache).
            if (n / 4 >= tuning::transformleaf)
            {
                if (highzero)
                    twostages<true, true>(a, n / 2, t, c);
                else
                    twostages<true>(a, n / 2, t, c);
                for (std::size_t quarter = 0; quarter < 4; ++quarter)
                    forward2(a + quarter * (n / 4), n / 4, t, c);
                return;
            }
            if (highzero)
                stage<true, true>(a, n / 2, t, c);
            else
                stage<true>(a, n / 2, t, c);
            forward2(a, n / 2, t, c);
            forward2(a + n / 2, n / 2, t, c);
            return;
        }
        // Two stages at a time where both are at least a vector apart (four values in registers
        // per step instead of two: half the loads and stores), then one where one is left.
        std::size_t h = n / 2;
        for (; h >= 2 * width; h /= 4)
            for (std::size_t s = 0; s < n; s += 2 * h) twostages<true>(a + s, h, t, c);
        if (h >= width)
            for (std::size_t s = 0; s < n; s += 2 * h) stage<true>(a + s, h, t, c);
        if constexpr (width > 1)
            for (std::size_t s = 0; s < n; s += width)
                Lane::store(a + s, Lane::forwardinside(Lane::load(a + s), c));
    }

    /// Decimation in time, the inverse of forward2 but for the factor n: values in [0, 4p) stay
    /// there.
    static void inverse2(u64* a, std::size_t n, const roottable& t, const constants& c)
    {
        if (n > tuning::transformleaf)
        {
            if (n / 4 >= tuning::transformleaf)
            {
                for (std::size_t quarter = 0; quarter < 4; ++quarter)
                    inverse2(a + quarter * (n / 4), n / 4, t, c);
                twostages<false>(a, n / 2, t, c);
                return;
            }
            inverse2(a, n / 2, t, c);
            inverse2(a + n / 2, n / 2, t, c);
            stage<false>(a, n / 2, t, c);
            return;
        }
        if constexpr (width > 1)
            for (std::size_t s = 0; s < n; s += width)
                Lane::store(a + s, Lane::inverseinside(Lane::load(a + s), c));
        std::size_t h = width;
        for (; 2 * h < n; h *= 4)
            for (std::size_t s = 0; s < n; s += 4 * h) twostages<false>(a + s, 2 * h, t, c);
        if (h < n)
            for (std::size_t s = 0; s < n; s += 2 * h) stage<false>(a + s, h, t, c);
    }

    /// The first `keep` values of forward2's (n, or a multiple of tuning::transformstep below
    /// it): the blocks of the result past them are not computed. `highzero` as for forward2.
    static void forwardfirst(u64* a, std::size_t n, std::size_t keep, const roottable& t,
                             const constants& c, bool highzero)
    {
        assert(keep == n || (keep % tuning::transformstep == 0 && keep < n && keep > 0));
        if (keep == n)
        {
            forward2(a, n, t, c, highzero);
            return;
        }
        const std::size_t h = n / 2;
        if (keep <= h)
        {
            // Only the lower half's sums are needed (the lower half itself where the upper is
            // zero); the butterflies' other halves go unused, and unmade.
            if (!highzero)
            {
                const u64* w = t.forward + h;
                const u64* wq = t.forwardq + h;
                for (std::size_t j = 0; j < h; j += width)
                {
                    vec u = Lane::load(a + j), v = Lane::load(a + j + h);
                    Lane::forwardbutterfly(u, v, Lane::load(w + j), Lane::load(wq + j), c);
                    Lane::store(a + j, u);
                }
            }
            forwardfirst(a, h, keep, t, c, false);
            return;
        }
        if (highzero)
            stage<true, true>(a, h, t, c);
        else
            stage<true>(a, h, t, c);
        forward2(a, h, t, c);
        forwardfirst(a + h, h, keep - h, t, c, false);
    }

    /// The inverse of forwardfirst, but for the factor n: a[0, keep) holds the first `keep`
    /// values of a transform (as inverse2 takes them), a[keep, n) its coefficients from `keep` on
    /// times n (zero, or what the lane's `truncatedbutterfly` leaves in v). Leaves n times the
    /// coefficients below `keep` in a[0, keep), as inverse2 would, and a[keep, n) as scratch.
    /// With h = n / 2, the first stage of forward2 made u_j = x_j + x_j+h and
    /// v_j = (x_j - x_j+h) w^j, whose halves the inverses of length h give times h; where x_j+h is
    /// known, x_j follows from u_j alone (n x_j = 2 h u_j - n x_j+h), and so does v_j.
    static void inversefirst(u64* a, std::size_t n, std::size_t keep, const roottable& t,
                             const constants& c)
    {
        assert(keep == n || (keep % tuning::transformstep == 0 && keep < n));
        if (keep == n)
        {
            inverse2(a, n, t, c);
            return;
        }
        if (keep == 0)
            return;
        const std::size_t h = n / 2;
        if (keep >= h)
        {
            // All of u's values are known: h u_j; then, where x_j+h is known, n x_j and h v_j, the
            // known coefficients of the upper half's problem; then the butterflies of the rest.
            const std::size_t upper = keep - h;
            inverse2(a, h, t, c);
            const u64* w = t.forward + h;
            const u64* wq = t.forwardq + h;
            for (std::size_t j = upper; j < h; j += width)
            {
                vec u = Lane::load(a + j), v = Lane::load(a + j + h);
                Lane::truncatedbutterfly(u, v, Lane::load(w + j), Lane::load(wq + j), c);
                Lane::store(a + j, u);
                Lane::store(a + j + h, v);
            }
            inversefirst(a + h, h, upper, t, c);
            stage<false>(a, h, t, c, upper);
            return;
        }
        // None of v's values is known: where both x_j and x_j+h are known, h u_j is half their
        // sum, a known coefficient of the lower half's problem; once that is solved,
        // n x_j = 2 h u_j - n x_j+h.
        const u64* w = t.forward + h;
        const u64* wq = t.forwardq + h;
        const vec half = Lane::montgomeryform(c.m->p / 2 + 1, c);
        for (std::size_t j = keep; j < h; j += width)
        {
            vec u = Lane::load(a + j), v = Lane::load(a + j + h);
            Lane::forwardbutterfly(u, v, Lane::load(w + j), Lane::load(wq + j), c);
            Lane::store(a + j, Lane::montmul(u, half, c));
        }
        inversefirst(a, h, keep, t, c);
        for (std::size_t j = 0; j < keep; j += width)
        {
            vec u = Lane::load(a + j), v = Lane::load(a + j + h);
            Lane::truncatedbutterfly(u, v, Lane::load(w + j), Lane::load(wq + j), c);
            Lane::store(a + j, u);
        }
    }

    /// The residues of one prime: see `job`.
    static void residues(const job& j, const roottable& t, const prime& m)
    {
        assert(j.n >= 2 * width && t.forward != nullptr);
        assert(j.keep == j.n || j.keep % tuning::transformstep == 0);
        const constants c = Lane::prepare(m, t);
        u64* x = j.x;
        load(x, j.a, j.na, j, t, m, c);
        if (j.square)
            for (std::size_t i = 0; i < j.keep; i += width)
            {
                const vec v = Lane::load(x + i);
                Lane::store(x + i, Lane::montmul(v, v, c));
            }
        else
        {
            load(j.other, j.b, j.nb, j, t, m, c);
            for (std::size_t i = 0; i < j.keep; i += width)
                Lane::store(x + i, Lane::montmul(Lane::load(x + i), Lane::load(j.other + i), c));
        }
        // The product's coefficients from `keep` on are zero.
        for (std::size_t i = j.keep; i < j.n; ++i) x[i] = 0;
        inversefirst(x, j.n, j.keep, t, c);
        // Back to the coefficients times the job's factor: the pointwise products left c / R, the
        // transform length times that; a Montgomery product with R^2 factor / length gives
        // c factor (the lane's `scaling` knows its R).
        const u64 factor =
            static_cast<u64>(static_cast<u128>(inverseoflength(j.n, m.p)) * j.factor % m.p);
        const vec scale = Lane::scaling(factor, m, c);
        for (std::size_t i = 0; i < j.keep; i += width)
            Lane::storeinteger(
                x + i,
                Lane::reduce(Lane::montmul(Lane::fromlazy(Lane::load(x + i), c), scale, c), c.p));
    }

private:
    // What a stage reads for the upper half that `highzero` leaves unwritten.
    alignas(64) static constexpr u64 zeros[width] = {};

    // The butterflies of half-length h on x[0, 2h), with the roots of the forward transform or
    // of the inverse; with `highzero`, x[h, 2h) taken as zero. Only the first `count` of them
    // where that is given.
    template <bool forward, bool highzero = false>
    static void stage(u64* x, std::size_t h, const roottable& t, const constants& c,
                      std::size_t count = ~std::size_t{0})
    {
        const u64* w = (forward ? t.forward : t.inverse) + h;
        const u64* wq = (forward ? t.forwardq : t.inverseq) + h;
        const std::size_t end = count < h ? count : h;
        for (std::size_t j = 0; j < end; j += width)
        {
            vec u = Lane::load(x + j), v = Lane::load(highzero ? zeros : x + j + h);
            if constexpr (forward)
                Lane::forwardbutterfly(u, v, Lane::load(w + j), Lane::load(wq + j), c);
            else
                Lane::inversebutterfly(u, v, Lane::load(w + j), Lane::load(wq + j), c);
            Lane::store(x + j, u);
            Lane::store(x + j + h, v);
        }
    }

    // The stages of half-lengths h and h / 2 on x[0, 2h) at once (forward: h first; inverse:
    // h / 2 first), each value loaded and stored once: with q = h / 2 and j < q, the four values
    // j, j + q, j + h, j + h + q take the roots w_2h^j, w_2h^(j + q) and w_h^j. With
    // `highzero`, x[h, 2h) is taken as zero.
    template <bool forward, bool highzero = false>
    static void twostages(u64* x, std::size_t h, const roottable& t, const constants& c)
    {
        const std::size_t q = h / 2;
        const u64* w = (forward ? t.forward : t.inverse);
        const u64* wq = (forward ? t.forwardq : t.inverseq);
        for (std::size_t j = 0; j < q; j += width)
        {
            vec x0 = Lane::load(x + j), x1 = Lane::load(x + j + q);
            vec x2 = Lane::load(highzero ? zeros : x + j + h);
            vec x3 = Lane::load(highzero ? zeros : x + j + h + q);
            const vec wa = Lane::load(w + h + j), waq = Lane::load(wq + h + j);
            const vec wb = Lane::load(w + h + q + j), wbq = Lane::load(wq + h + q + j);
            const vec wc = Lane::load(w + q + j), wcq = Lane::load(wq + q + j);
            if constexpr (forward)
            {
                Lane::forwardbutterfly(x0, x2, wa, waq, c);
                Lane::forwardbutterfly(x1, x3, wb, wbq, c);
                Lane::forwardsecond(x0, x1, wc, wcq, c);
                Lane::forwardsecond(x2, x3, wc, wcq, c);
            }
            else
            {
                Lane::inversebutterfly(x0, x1, wc, wcq, c);
                Lane::inversebutterfly(x2, x3, wc, wcq, c);
                Lane::inversesecond(x0, x2, wa, waq, c);
                Lane::inversesecond(x1, x3, wb, wbq, c);
            }
            Lane::store(x + j, x0);
            Lane::store(x + j + q, x1);
            Lane::store(x + j + h, x2);
            Lane::store(x + j + h + q, x3);
        }
    }

    // The limbs of `a` below p, zero up to `length`, transformed. An operand of at most half a
    // length 2^k above the leaves (both operands of a balanced whole product) leaves the upper
    // half to the first stage, which takes it as zero.
    static void load(u64* x, const u64* a, std::size_t na, const job& j, const roottable& t,
                     const prime& m, const constants& c)
    {
        const bool highzero = j.n > tuning::transformleaf && na <= j.n / 2;
        Lane::residuesof(x, a, na, m, c);
        for (std::size_t i = na; i < (highzero ? j.n / 2 : j.n); ++i) x[i] = 0;
        forwardfirst(x, j.n, j.keep, t, c, highzero);
    }
};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
