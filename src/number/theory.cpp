// Number theory on fixedint: greatest common divisor, least common multiple, integer roots,
// modular powers and inverses. The operands' values go into the kernel's naturals and the
// results come back as numbers of the first operand's width, made once everything that can fail
// has been done.
#include "kernel/carry.hpp"
#include "kernel/gcd.hpp"
#include "kernel/limbdigits.hpp"
#include "kernel/natural.hpp"
#include "kernel/residues.hpp"
#include "kernel/roots.hpp"
#include "number/errors.hpp"
#include "number/fields.hpp"

#include <quorvel/numbertheory.hpp>

#include <vector>

namespace QUORVEL
{
namespace
{
using detail::natural;

// A value as the number theory reads it: the magnitude, and the sign where the first operand's
// `issigned` is true.
struct value
{
    natural magnitude;
    bool minus;
};

value valueof(const fixedint& x, bool issigned)
{
    const detail::digitsof d(x);
    natural m = detail::fromdigits(d.data(), d.size());
    const bool minus = issigned && x.negative && !m.empty();
    return {std::move(m), minus};
}

// A result of width `width` holding v modulo 10^width.
fixedint numberof(std::uint64_t width, const natural& v)
{
    fixedint result(width);
    detail::todigits(v, result.digits.data(), result.digits.size());
    return result;
}

// The positive modulus m's value; throws where it is not positive.
natural modulusof(const fixedint& m, bool issigned)
{
    value v = valueof(m, issigned);
    if (v.minus || v.magnitude.empty())
        detail::throwmodulusnotpositive();
    return std::move(v.magnitude);
}

// x modulo m, in [0, m).
natural reduced(const value& x, const natural& m)
{
    natural r;
    detail::divmod(x.magnitude, m, nullptr, &r);
    return x.minus && !r.empty() ? detail::subtract(m, r) : r;
}

fixedint powerof(const fixedint& base, const std::vector<std::uint64_t>& exponent,
                 const fixedint& modulus)
{
    const natural m = modulusof(modulus, base.issigned);
    return numberof(base.size,
                    detail::powmod(reduced(valueof(base, base.issigned), m), exponent, m));
}
}  // namespace

fixedint gcd(const fixedint& a, const fixedint& b)
{
    detail::checkwidths(a, b);
    return numberof(a.size, detail::gcd(valueof(a, false).magnitude, valueof(b, false).magnitude));
}

fixedint lcm(const fixedint& a, const fixedint& b)
{
    detail::checkwidths(a, b);
    const natural x = valueof(a, false).magnitude, y = valueof(b, false).magnitude;
    natural l;
    if (!x.empty() && !y.empty())
    {
        natural q;
        detail::divmod(x, detail::gcd(x, y), &q, nullptr);
        l = detail::multiply(q, y);
    }
    return numberof(a.size, l);
}

fixedint isqrt(const fixedint& x)
{
    const value v = valueof(x, x.issigned);
    if (v.minus)
        detail::thrownegativeroot();
    return numberof(x.size, detail::squareroot(v.magnitude));
}

fixedint iroot(const fixedint& x, std::uint64_t k)
{
    if (k == 0)
        detail::throwzerothroot();
    const value v = valueof(x, x.issigned);
    if (v.minus)
        detail::thrownegativeroot();
    return numberof(x.size, detail::root(v.magnitude, k));
}

fixedint powmod(const fixedint& base, std::uint64_t exponent, const fixedint& modulus)
{
    detail::checkwidths(base, modulus);
    return powerof(
        base, exponent == 0 ? std::vector<std::uint64_t>{} : std::vector<std::uint64_t>{exponent},
        modulus);
}

fixedint powmod(const fixedint& base, const fixedint& exponent, const fixedint& modulus)
{
    detail::checkwidths(base, modulus);
    const value e = valueof(exponent, base.issigned);
    if (e.minus)
        detail::throwexponentnegative();
    return powerof(base, detail::binarywords(e.magnitude), modulus);
}

fixedint invert(const fixedint& x)
{
    const detail::digitsof d(x);
    const std::size_t n = d.size();
    if (n > 0 && (d.data()[0] % 2 == 0 || d.data()[0] == 5))
        detail::thrownoinverse(true);
    // The inverse modulo B^limbs, cut to n digits; modulo 1 (width 0) everything is 0.
    const std::size_t limbs = detail::limbsfor(n);
    std::vector<detail::u64> packed(2 * limbs);
    if (n > 0)
    {
        detail::pack(d.data(), n, packed.data(), limbs);
        detail::inverselow(packed.data() + limbs, packed.data(), limbs);
    }
    const bool negated = x.issigned && x.negative;  // the inverse of -x is -(the inverse of x)
    return detail::resultof(x,
                            [&](const std::int8_t*, std::int8_t* out, std::size_t)
                            {
                                detail::unpack(packed.data() + limbs, out, n);
                                if (negated)
                                    detail::negatedigits(out, out, n);
                                return false;
                            });
}

fixedint invert(const fixedint& x, const fixedint& modulus)
{
    detail::checkwidths(x, modulus);
    const natural m = modulusof(modulus, x.issigned);
    natural inverse;
    if (!detail::inverse(reduced(valueof(x, x.issigned), m), m, inverse))
        detail::thrownoinverse(false);
    return numberof(x.size, inverse);
}
}  // namespace QUORVEL
