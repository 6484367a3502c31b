// The compound assignments of fixedfloat: one rounding of the exact result to the target's width
// and scale. Operands of up to 38 digits are worked on where they are (sums) or in two words
// (products, quotients); longer ones go through the exact arithmetic of scaled.cpp.
#include "kernel/digits.hpp"
#include "kernel/small.hpp"
#include "number/errors.hpp"
#include "number/scaled.hpp"

namespace QUORVEL
{
namespace
{
using detail::scaled;
using detail::scaledview;
using detail::u128;
using detail::u64;

// target = the exact `v` rounded half to even to the target's width and scale, or
// std::overflow_error with the target unchanged.
fixedfloat& store(fixedfloat& target, scaled&& v)
{
    detail::fitto(v, target.width(), target.scale(), rounding::halfeven);
    target.number.digits.swap(v.digits);
    target.number.negative = v.negative;
    return target;
}

// Whether the target's store holds exactly its width, so that its digits can be written in place.
bool inplace(const fixedfloat& target)
{
    return target.number.digits.size() == target.number.size;
}

// x += y (-= with `subtract`) for operands of one width and scale whose target holds its digits:
// in place. False where another path must do it (digits outside 0 to 9).
bool addsamescale(fixedfloat& target, const fixedfloat& b, bool subtract)
{
    fixedint& t = target.number;
    const fixedint& u = b.number;
    if (&b == &target || u.size != t.size || b.pointpos / 2 != target.pointpos / 2 ||
        !inplace(target) || u.digits.size() != t.size)
        return false;
    bool minus = false;
    switch (detail::addsigned(t.digits.data(), t.negative, u.digits.data(), u.negative != subtract,
                              t.digits.size(), minus))
    {
        case detail::addition::done:
            t.negative = minus;
            return true;
        case detail::addition::overflow:
            detail::throwdoesnotfitdecimal(target.width(), target.scale());
        case detail::addition::baddigit:
            break;
    }
    return false;
}

fixedfloat& addinplace(fixedfloat& target, const fixedfloat& b, bool subtract)
{
    if (addsamescale(target, b, subtract))
        return target;
    return store(target, detail::sum(scaledview(target), scaledview(b), subtract));
}

// Where r < d lies against half of d.
detail::remainder against(u128 r, u128 d)
{
    if (r == 0)
        return detail::remainder::none;
    const u128 other = d - r;
    return r < other    ? detail::remainder::belowhalf
           : r == other ? detail::remainder::half
                        : detail::remainder::abovehalf;
}

// The target's magnitude and the operand's, for the paths of small operands: the target's store
// holds exactly its width, both hold at most `twowords` digits, each 0 to 9. False otherwise.
bool smalloperands(const fixedfloat& target, const fixedfloat& b, u128& x, u128& y)
{
    const fixedint& t = target.number;
    const std::size_t wb = detail::usable(b.number);
    return inplace(target) && t.size <= detail::twowords && wb <= detail::twowords &&
           detail::smallvalue(t.digits.data(), t.digits.size(), x) &&
           detail::smallvalue(b.number.digits.data(), wb, y);
}

// The target = q (rounded away from zero by one unit where `where` says so under half to even),
// with the sign `minus`, or std::overflow_error with the target unchanged.
void setsmall(fixedfloat& target, u128 q, detail::remainder where, bool minus)
{
    if (detail::roundsaway(where, minus, (static_cast<u64>(q) & 1) != 0, rounding::halfeven))
        ++q;
    fixedint& t = target.number;
    if (q >= detail::power10(t.digits.size()))
        detail::throwdoesnotfitdecimal(target.width(), target.scale());
    detail::smalldigits(q, t.digits.data(), t.digits.size());
    t.negative = minus && q != 0;
}

// x *= y for small operands: the product in four words, divided by 10^sb.
bool mulsmall(fixedfloat& target, const fixedfloat& b)
{
    u128 x = 0, y = 0;
    const std::uint64_t sb = b.scale();
    if (sb > detail::twowords || !smalloperands(target, b, x, y))
        return false;
    const detail::u256 p = detail::multiply(x, y);
    u128 q = 0, rest = 0;
    const u128 unit = detail::power10(static_cast<std::size_t>(sb));
    if (!detail::divide(p, unit, q, rest))
        detail::throwdoesnotfitdecimal(target.width(), target.scale());
    setsmall(target, q, against(rest, unit), target.number.negative != b.number.negative);
    return true;
}

// x /= y for small operands: x 10^sb in four words, divided by y.
bool divsmall(fixedfloat& target, const fixedfloat& b)
{
    u128 x = 0, y = 0;
    const std::uint64_t sb = b.scale();
    if (sb > detail::twowords || !smalloperands(target, b, x, y))
        return false;
    if (y == 0)
        detail::throwdivisionbyzero();
    u128 q = 0, rest = 0;
    if (!detail::divide(detail::multiply(x, detail::power10(static_cast<std::size_t>(sb))), y, q,
                        rest))
        detail::throwdoesnotfitdecimal(target.width(), target.scale());
    setsmall(target, q, against(rest, y), target.number.negative != b.number.negative);
    return true;
}
}  // namespace

fixedfloat& fixedfloat::operator+=(const fixedfloat& rhs)
{
    return addinplace(*this, rhs, false);
}

fixedfloat& fixedfloat::operator-=(const fixedfloat& rhs)
{
    return addinplace(*this, rhs, true);
}

fixedfloat& fixedfloat::operator*=(const fixedfloat& rhs)
{
    if (mulsmall(*this, rhs))
        return *this;
    return store(*this, detail::product(scaledview(*this), scaledview(rhs)));
}

fixedfloat& fixedfloat::operator/=(const fixedfloat& rhs)
{
    if (divsmall(*this, rhs))
        return *this;
    return store(*this,
                 detail::quotient(scaledview(*this), scaledview(rhs), scale(), rounding::halfeven));
}
}  // namespace QUORVEL
