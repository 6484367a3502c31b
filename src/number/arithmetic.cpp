// Sum, difference, product, quotient, remainder, negation and powers of fixedint, in the model the
// header describes: exact results keep their sign and their magnitude modulo 10^width.
#include "kernel/decimal.hpp"
#include "kernel/digits.hpp"
#include "kernel/tuning.hpp"
#include "kernel/wordproduct.hpp"
#include "log/lines.hpp"
#include "number/errors.hpp"
#include "number/fields.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace QUORVEL
{
namespace
{
using detail::digitsof;
using detail::line;

bool zerodigits(const std::int8_t* d, std::size_t n)
{
    return detail::significant(d, n) == 0;
}

// out = a + b (b with the sign flag `bminus`), on n digits; returns the sign flag of the result.
// Unsigned: the magnitudes modulo 10^n. `out` may be `a` or `b`.
bool sum(const std::int8_t* a, bool aminus, const std::int8_t* b, bool bminus, std::int8_t* out,
         std::size_t n, bool issigned)
{
    if (!issigned)
    {
        detail::adddigits(a, b, out, n);
        return false;
    }
    bool minus = aminus;
    if (aminus == bminus)
        detail::adddigits(a, b, out, n);
    else if (detail::comparedigits(a, n, b, n) >= 0)
        detail::subtractdigits(a, b, out, n);
    else
    {
        detail::subtractdigits(b, a, out, n);
        minus = bminus;
    }
    return minus && !zerodigits(out, n);
}

// out = a - b, as `sum` does it; unsigned, the difference modulo 10^n (ten's complement).
bool difference(const std::int8_t* a, bool aminus, const std::int8_t* b, bool bminus,
                std::int8_t* out, std::size_t n, bool issigned)
{
    if (!issigned)
    {
        detail::subtractdigits(a, b, out, n);
        return false;
    }
    return sum(a, aminus, b, !bminus, out, n, true);
}

// The product's sign rule, older than the model's: the sign flags alone decide (so a zero product
// can be "-0"), where the left operand's `issigned` is true.
bool productsign(const fixedint& a, const fixedint& b)
{
    return a.issigned && a.negative != b.negative;
}

// The divisor's significant digits, checked before anything is made.
std::size_t divisorlength(const std::int8_t* b, std::size_t n)
{
    const std::size_t length = detail::significant(b, n);
    if (length == 0)
        detail::throwdivisionbyzero();
    return length;
}

using operation = bool (*)(const std::int8_t*, bool, const std::int8_t*, bool, std::int8_t*,
                           std::size_t, bool);

// Whether the operands' stores hold exactly their width in digits 0 to 9, as the operations read
// them: then the digits are used where they are, with no copy.
bool direct(const fixedint& a, const fixedint& b)
{
    const std::size_t n = detail::usable(a);
    return n == a.size && detail::usable(b) == n &&
           detail::alldecimal(a.digits.data(), b.digits.data(), n);
}

// Whether a + b adds the magnitudes (equal sign flags, or no sign), where both stores hold
// exactly the width: then the sum is formed in the pass that checks the digits.
bool plainsum(const fixedint& a, const fixedint& b)
{
    return (!a.issigned || a.negative == b.negative) && a.digits.size() == a.size &&
           b.digits.size() == a.size;
}

// The sign flag of a plain sum whose digits are out[0, n).
bool plainsumsign(const fixedint& a, const std::int8_t* out, std::size_t n)
{
    return a.issigned && a.negative && !zerodigits(out, n);
}

// a + b into a new number, for a `plainsum` (one named result: the caller's). Digits outside 0
// to 9 (a caller's doing) are found in the same pass, and the sum is then formed again from
// copies that read them modulo 10.
fixedint checkedsum(const fixedint& a, const fixedint& b)
{
    fixedint result(a.size);
    std::int8_t* out = result.digits.data();
    const std::size_t n = result.digits.size();
    if (detail::addchecked(a.digits.data(), b.digits.data(), out, n))
        result.negative = plainsumsign(a, out, n);
    else
    {
        const digitsof x(a), y(b);
        result.negative = sum(x.data(), a.negative, y.data(), b.negative, out, n, a.issigned);
    }
    return result;
}

// a += b for a `plainsum` of at most `tuning::shortsum` digits, through a buffer that becomes a's
// digits only when every digit was in 0 to 9; false, with a unchanged, otherwise.
bool checkedsuminplace(fixedint& a, const fixedint& b)
{
    using detail::tuning::shortsum;
    const std::size_t n = a.digits.size();
    std::int8_t buffer[shortsum];
    if (n > shortsum || !detail::addchecked(a.digits.data(), b.digits.data(), buffer, n))
        return false;
    if (n > 0)  // at width 0 the store may have no memory at all
        std::memcpy(a.digits.data(), buffer, n);
    a.negative = plainsumsign(a, buffer, n);
    return true;
}

// a op b into a new number, for operands that are `direct` (one named result: the caller's).
fixedint directresult(const fixedint& a, const fixedint& b, operation op)
{
    fixedint result(a.size);
    result.negative = op(a.digits.data(), a.negative, b.digits.data(), b.negative,
                         result.digits.data(), result.digits.size(), a.issigned);
    return result;
}

// a op b into a new number.
fixedint apply(const fixedint& a, const fixedint& b, operation op)
{
    detail::checkwidths(a, b);
    if (op == sum && plainsum(a, b))
        return checkedsum(a, b);
    if (direct(a, b))
        return directresult(a, b, op);
    const digitsof y(b);
    return detail::resultof(
        a, [&](const std::int8_t* x, std::int8_t* out, std::size_t n)
        { return op(x, a.negative, y.data(), b.negative, out, n, a.issigned); });
}

// a op= b, in place.
fixedint& applyinplace(fixedint& a, const fixedint& b, operation op)
{
    detail::checkwidths(a, b);
    if (op == sum && plainsum(a, b) && checkedsuminplace(a, b))
        return a;
    if (direct(a, b))
    {
        std::int8_t* x = a.digits.data();
        a.negative = op(x, a.negative, b.digits.data(), b.negative, x, a.digits.size(), a.issigned);
        return a;
    }
    const digitsof y(b);
    return detail::inplace(a, [&](const std::int8_t* x, std::int8_t* out, std::size_t n)
                           { return op(x, a.negative, y.data(), b.negative, out, n, a.issigned); });
}

// The sign flag of a quotient (or remainder) whose digits are out[0, n), of a dividend and a
// divisor with the sign flags `aminus` and `bminus`.
bool quotientsign(bool aminus, bool bminus, bool issigned, bool remainder, const std::int8_t* out,
                  std::size_t n)
{
    const bool minus = remainder ? aminus : aminus != bminus;
    return issigned && minus && !zerodigits(out, n);
}

// out = a / b (or a % b), as an operation: width 0 gives the width-0 zero whatever the divisor.
// divmod reads both operands whole before it writes, so `out` may be either of them.
template <bool remainder>
bool division(const std::int8_t* a, bool aminus, const std::int8_t* b, bool bminus,
              std::int8_t* out, std::size_t n, bool issigned)
{
    if (n == 0)
        return false;
    const std::size_t lb = divisorlength(b, n);
    detail::divmod(a, n, b, lb, remainder ? nullptr : out, remainder ? out : nullptr, n);
    return quotientsign(aminus, bminus, issigned, remainder, out, n);
}

// a / b (or a % b) into a new number: a zero divisor throws before the number is made.
template <bool remainder>
fixedint divide(const fixedint& a, const fixedint& b)
{
    detail::checkwidths(a, b);
    if (a.size == 0)
        return fixedint(0);
    const digitsof x(a), y(b);
    (void)divisorlength(y.data(), y.size());
    fixedint result(a.size);
    result.negative = division<remainder>(x.data(), a.negative, y.data(), b.negative,
                                          result.digits.data(), x.size(), a.issigned);
    return result;
}

}  // namespace

namespace
{
// The log's lines of a product at one width, made once per width and thread: the construction of
// the double-width scratch result, its resize back, and both together.
struct productlines
{
    std::uint64_t width = 0;
    bool made = false;
    detail::linebatch construction, resize, both;
};
thread_local productlines lastlines;

const productlines& linesof(std::uint64_t width)
{
    productlines& l = lastlines;
    if (!l.made || l.width != width)
    {
        l.construction =
            detail::linebatch().add(line::newobject).addwidth(2 * width).add(line::done);
        l.resize = detail::linebatch().add(line::resizerequested).addwidth(width).add(line::done);
        l.both = detail::linebatch()
                     .add(line::newobject)
                     .addwidth(2 * width)
                     .add(line::done)
                     .add(line::resizerequested)
                     .addwidth(width)
                     .add(line::done);
        l.width = width;
        l.made = true;
    }
    return l;
}

// The product of numbers whose stores hold exactly their (non-zero) width: the double-width
// scratch result and its resize back are the log's lines, and the result is made in the store of
// `rhs`, a copy that the product alone reads (it then leaves as the moved-from number it
// destroys). One named result, so that it is the caller's.
fixedint productintocopy(const fixedint& a, fixedint& rhs)
{
    const std::size_t n = rhs.digits.size();
    const productlines& lines = linesof(a.size);
    const bool minus = productsign(a, rhs);
    std::int8_t* out = rhs.digits.data();
    // A short product cannot fail (it refuses digits outside 0 to 9 before it writes): it goes
    // first, and its six lines after it, as the scratch result and its resize would have logged.
    const bool done =
        n <= detail::wordproductdigits && detail::wordproduct(a.digits.data(), n, out, n, out, n);
    (done ? lines.both : lines.construction).append();
    fixedint result(std::move(rhs));
    if (!done)
        detail::mullow(a.digits.data(), detail::significant(a.digits.data(), n), out,
                       detail::significant(out, n), out, n);
    result.negative = minus;
    result.issigned = true;
    result.spareflag = false;
    if (!done)
        lines.resize.append();
    return result;
}
}  // namespace

fixedint fixedint::operator*(fixedint rhs) const
{
    detail::checkwidths(*this, rhs);
    if (size != 0 && digits.size() == size && rhs.digits.size() == size)
        return productintocopy(*this, rhs);
    // A store of another length than the width (a caller's doing): the steps one by one.
    fixedint result(size + rhs.size);
    result = std::int64_t{0};
    const std::size_t la = detail::significant(digits.data(), digits.size());
    const std::size_t lb = detail::significant(rhs.digits.data(), rhs.digits.size());
    // Digits up to position la + lb - 1 are written (the last by a carry); with stores of exactly
    // `size` digits that is always inside the scratch result.
    if (la > 0 && lb > 0 && la + lb > result.size)
        detail::throwproductindex(result.size);
    detail::mullow(digits.data(), la, rhs.digits.data(), lb, result.digits.data(),
                   static_cast<std::size_t>(std::min<std::uint64_t>(detail::usable(result), size)));
    result.negative = productsign(*this, rhs);
    result.resize(size);
    return result;
}

fixedint fixedint::operator+(const fixedint& rhs) const
{
    return apply(*this, rhs, sum);
}

fixedint fixedint::operator-(const fixedint& rhs) const
{
    return apply(*this, rhs, difference);
}

fixedint fixedint::operator/(const fixedint& rhs) const
{
    return divide<false>(*this, rhs);
}

fixedint fixedint::operator%(const fixedint& rhs) const
{
    return divide<true>(*this, rhs);
}

fixedint fixedint::operator-() const
{
    const digitsof x(*this);
    fixedint result(size);
    std::int8_t* out = result.digits.data();
    if (issigned)
    {
        std::copy(x.data(), x.data() + x.size(), out);
        result.negative = !negative && !zerodigits(out, x.size());
    }
    else
        detail::subtractdigits(out, x.data(), out, x.size());  // 0 - x: the ten's complement
    return result;
}

fixedint& fixedint::operator+=(const fixedint& rhs)
{
    return applyinplace(*this, rhs, sum);
}

fixedint& fixedint::operator-=(const fixedint& rhs)
{
    return applyinplace(*this, rhs, difference);
}

fixedint& fixedint::operator*=(const fixedint& rhs)
{
    detail::checkwidths(*this, rhs);
    if (size == 0)
    {
        negative = false;  // the width-0 zero
        return *this;
    }
    const digitsof y(rhs);
    // mullow reads both operands whole before it writes: the product may go over them.
    return detail::inplace(*this,
                           [&](const std::int8_t* x, std::int8_t* out, std::size_t n)
                           {
                               detail::mullow(x, detail::significant(x, n), y.data(),
                                              detail::significant(y.data(), n), out, n);
                               return productsign(*this, rhs);
                           });
}

fixedint& fixedint::operator/=(const fixedint& rhs)
{
    return applyinplace(*this, rhs, division<false>);
}

fixedint& fixedint::operator%=(const fixedint& rhs)
{
    return applyinplace(*this, rhs, division<true>);
}

std::pair<fixedint, fixedint> divmod(const fixedint& a, const fixedint& b)
{
    detail::checkwidths(a, b);
    const digitsof x(a), y(b);
    const std::size_t ly = a.size == 0 ? 0 : divisorlength(y.data(), y.size());
    // Made in place: no number is moved from, so nothing more is logged.
    std::pair<fixedint, fixedint> result(std::piecewise_construct, std::forward_as_tuple(a.size),
                                         std::forward_as_tuple(a.size));
    if (a.size == 0)
        return result;
    std::int8_t* q = result.first.digits.data();
    std::int8_t* r = result.second.digits.data();
    detail::divmod(x.data(), x.size(), y.data(), ly, q, r, x.size());
    result.first.negative = quotientsign(a.negative, b.negative, a.issigned, false, q, x.size());
    result.second.negative = quotientsign(a.negative, b.negative, a.issigned, true, r, x.size());
    return result;
}

fixedint pow(const fixedint& base, std::uint64_t exponent)
{
    const digitsof x(base);
    fixedint result(base.size);
    if (x.size() == 0)
        return result;
    std::int8_t* out = result.digits.data();
    detail::powlow(x.data(), detail::significant(x.data(), x.size()), exponent, out, x.size());
    result.negative =
        base.issigned && base.negative && (exponent & 1) != 0 && !zerodigits(out, x.size());
    return result;
}

}  // namespace QUORVEL
