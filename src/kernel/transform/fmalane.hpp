// Internal: the transform's lane of doubles, written once over a vector type of doubles (AVX2's
// four, NEON's two; fma.cpp, neon.cpp). Not installed.
//
// Values modulo the prime p < 2^50 are held as doubles in a balanced form: any integer of
// magnitude below 8p (< 2^53, so exact) stands for its residue, so no lane needs a 64-bit integer
// multiplier. A product x w modulo p is exact in four fused operations (Harvey's and van der
// Hoeven's trick): h = x w rounded, l = x w - h exactly by fused multiply-subtract,
// q = round(h / p), and h - q p (exact: an integer below 2^53) plus l. With the quotient from the
// rounded h off by at most |h / p| 2^-52 and |l| at most half a unit in the last place of h, the
// result is below 0.5p + |x w| 2^-52 + ulp(x w) / 2 in magnitude: for |x| < 8p and a twiddle in
// [-p / 2, p / 2] (the tables of doubles hold them balanced) x w is below 4p^2 < 2^102, whose unit
// is at most 2^49, so 0.5p + p + 0.25p = 1.75p; for |x| < 4p, 1.125p. A sum is brought to p / 2
// (and a little) by subtracting round(s / p) p.
//
// The bounds the transform keeps: every stored value is below 4p in magnitude, so that a sum or
// difference of two is below 8p. A butterfly that reduces its sum leaves 0.5p and 1.75p. Two
// stages at once (engine.hpp, `twostages`) reduce in the first only: forward, its sums of 0.5p make
// p and its products of 1.75p make 3.5p; inverse, the first stage leaves 0.5p + 1.125p, the second
// adds a product of that, below 0.8p, so 2.5p. The inverse ends below 4p, the forward transform
// (whose last stages, inside a vector, reduce everything) below p. Residues enter as integers below
// p and leave as integers below p.
#pragma once

#include "kernel/transform/modular.hpp"

#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
/// What a vector type V gives the lane: `reg`, holding `width` doubles; load and store (doubles
/// at a u64 address), loaddoubles, set1, pair(a, b) (a in even lanes, b in odd ones); add, sub,
/// mul; halves(a, high, low) (limbs below 2^60 at a as their bits above and below bit 30, as
/// doubles), storeintegers (doubles below 2^52 that hold integers, stored as integers); fms(a, b,
/// c) = a b - c and fnma(a, b, c) = c - a b, each rounded once; round (to the
/// nearest integer); fixlow(x, k) (x + k where x < 0) and fixhigh(x, k) (x - k where x >= k); and
/// for the stages inside a vector evens(x) (each even lane twice), odds(x), blendodd(a, b) (a in
/// the even lanes, b in the odd ones), and for width 4 lows(x) (lanes 0 and 1 twice), highs(x)
/// (lanes 2 and 3 twice) and blendhigh(a, b) (a in lanes 0 and 1, b in lanes 2 and 3).
template <class V>
struct fmalane
{
    using vec = typename V::reg;
    static constexpr std::size_t width = V::width;
    static_assert(width == 2 || width == 4, "the stages inside a vector are written for 2 and 4");

    struct constants
    {
        vec p, twop, pinv, one, low30;  // low30: 2^30 modulo p
        vec forward4, inverse4;         // the twiddles of the stage h = 2 inside a vector of four
        const prime* m;
    };

    static double asdouble(u64 bits)
    {
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

    static constants prepare(const prime& m, const roottable& t)
    {
        // The stage h = 2 inside a vector: forward, lanes 0 to 2 take 1 and lane 3 the root w_4;
        // inverse, lanes 0 and 2 take 1 and lanes 1 and 3 w_4^-1.
        const double p = static_cast<double>(m.p);
        const double forward4[4] = {1, 1, 1, asdouble(t.forwardq[3])};
        return {V::set1(p),
                V::set1(2 * p),
                V::set1(1 / p),
                V::set1(1),
                V::set1(static_cast<double>((u64{1} << 30) % m.p)),
                V::loaddoubles(forward4),
                V::pair(1, asdouble(t.inverseq[3])),
                &m};
    }
    static vec load(const u64* x) { return V::load(x); }
    static void store(u64* x, vec v)
    {
        V::store(x, v);
        assert(stored(x) && "a value of the transform outgrew its bound");
    }
    // Debug builds check the bound the butterflies keep (4p < 2^52) at every store.
    static bool stored(const u64* x)
    {
        for (std::size_t i = 0; i < width; ++i)
            if (!(std::fabs(asdouble(x[i])) < 4503599627370496.0))
                return false;
        return true;
    }

    /// x - round(x / p) p: below p / 2 (and a little) in magnitude, for |x| <= 2^53.
    static vec reducesmall(vec x, const constants& c)
    {
        return V::fnma(V::round(V::mul(x, c.pinv)), c.p, x);
    }
    /// x w modulo p, below 0.5p + |x w| 2^-52 + ulp(x w) / 2 in magnitude, for |x|, |w| <= 2^53
    /// and |x w| < 2^103.
    static vec mulmod(vec x, vec w, const constants& c)
    {
        const vec h = V::mul(x, w);
        const vec l = V::fms(x, w, h);
        const vec q = V::round(V::mul(h, c.pinv));
        return V::add(V::fnma(q, c.p, h), l);
    }

    /// To [0, k) from (-k, 2k).
    static vec reduce(vec x, vec k) { return V::fixhigh(V::fixlow(x, k), k); }
    /// A value the transforms leave (below 4p), as a factor of montmul: reduced, so that the
    /// product is below p in magnitude whatever the other factor below p.
    static vec fromlazy(vec x, const constants& c) { return reducesmall(x, c); }
    static vec montmul(vec a, vec b, const constants& c) { return mulmod(a, b, c); }
    static vec montgomeryform(u64 x, const constants& /*c*/)
    {
        return V::set1(static_cast<double>(x));
    }
    static vec scaling(u64 factor, const prime& /*m*/, const constants& /*c*/)
    {
        return V::set1(static_cast<double>(factor));
    }

    /// The limbs a[0, na) (below 2^60) as residues: a limb h 2^30 + l, both halves exact in a
    /// double, is h (2^30 mod p) + l modulo p, below 1.1p in magnitude. The last na % width limbs
    /// go one by one.
    static void residuesof(u64* x, const u64* a, std::size_t na, const prime& m, const constants& c)
    {
        std::size_t i = 0;
        for (; i + width <= na; i += width)
        {
            vec high, low;
            V::halves(a + i, high, low);
            V::store(x + i, V::add(mulmod(high, c.low30, c), low));
        }
        integerresidues(x + i, a + i, na - i, m);
        for (; i < na; ++i)
        {
            const double d = static_cast<double>(x[i]);
            std::memcpy(x + i, &d, sizeof d);
        }
    }
    /// v (values in [0, p)) stored as integers.
    static void storeinteger(u64* x, vec v) { V::storeintegers(x, v); }

    // The twiddle comes as doubles from the quotient table (`wq`); `w` is not used.
    static void forwardbutterfly(vec& u, vec& v, vec /*w*/, vec wq, const constants& c)
    {
        const vec d = V::sub(u, v);
        u = reducesmall(V::add(u, v), c);
        v = mulmod(d, wq, c);
    }
    // The second of two stages (engine.hpp, `twostages`): the sum is left as it is, below 3.5p
    // (see the bounds at the top).
    static void forwardsecond(vec& u, vec& v, vec /*w*/, vec wq, const constants& c)
    {
        const vec d = V::sub(u, v);
        u = V::add(u, v);
        v = mulmod(d, wq, c);
    }
    static void inversebutterfly(vec& u, vec& v, vec /*w*/, vec wq, const constants& c)
    {
        const vec x = reducesmall(u, c);
        const vec y = mulmod(v, wq, c);
        u = V::add(x, y);
        v = V::sub(x, y);
    }

    // The second of two stages: u is left as it is, below 1.75p (see the bounds at the top).
    static void inversesecond(vec& u, vec& v, vec /*w*/, vec wq, const constants& c)
    {
        const vec y = mulmod(v, wq, c);
        v = V::sub(u, y);
        u = V::add(u, y);
    }

    // The inverse of a truncated transform where the upper value is known (engine.hpp,
    // `inversefirst`): u below 4p and v below 2p in magnitude to 2u - v, below 3p, and (u - v) w,
    // below p (the product of a value below 2.5p).
    static void truncatedbutterfly(vec& u, vec& v, vec /*w*/, vec wq, const constants& c)
    {
        const vec x = reducesmall(u, c);
        const vec d = V::sub(x, v);
        u = V::add(x, d);
        v = mulmod(d, wq, c);
    }

    // The stages inside a vector: h = 2 (width 4, twiddles 1 and w_4) and h = 1 (twiddle 1).
    // Each stage reduces once for the whole vector: at h = 2 the sums are multiplied by 1 with the
    // differences by their twiddles, at h = 1 sums and differences are reduced together.
    static vec forwardinside(vec x, const constants& c)
    {
        if constexpr (width == 4)
        {
            const vec u = V::lows(x), v = V::highs(x);
            x = mulmod(V::blendhigh(V::add(u, v), V::sub(u, v)), c.forward4, c);
        }
        const vec u = V::evens(x), v = V::odds(x);
        return reducesmall(V::blendodd(V::add(u, v), V::sub(u, v)), c);
    }
    static vec inverseinside(vec x, const constants& c)
    {
        x = reducesmall(x, c);
        const vec u = V::evens(x), v = V::odds(x);
        x = V::blendodd(V::add(u, v), V::sub(u, v));
        if constexpr (width == 4)
        {
            const vec s = V::lows(x), y = mulmod(V::highs(x), c.inverse4, c);
            x = V::blendhigh(V::add(s, y), V::sub(s, y));
        }
        return x;
    }
};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
