// fixedint with a built-in integer operand, either side, and the steps by one: the integer's exact
// value takes part, in the model the header describes. The integer's digits (39 at most) are
// added, subtracted or multiplied in, with the carry run on through the number's digits; no copy
// of the integer as wide as the number is made, but where an unsigned number divides by, or is
// divided from, a negative integer's residue.
#include "kernel/carry.hpp"
#include "kernel/decimal.hpp"
#include "kernel/digits.hpp"
#include "kernel/small.hpp"
#include "number/errors.hpp"
#include "number/fields.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

namespace QUORVEL
{
namespace
{
using detail::integerop;
using detail::u128;
using detail::u64;

// A built-in integer as the operations read it.
struct operand
{
    explicit operand(const detail::integerparts& v)
        : minus(v.minus),
          magnitude((static_cast<u128>(v.high) << 64) | v.low),
          length(detail::decimaldigits(v, digits))
    {
        if (magnitude == 0)
            length = 0;
    }
    bool minus;
    u128 magnitude;
    std::int8_t digits[detail::integerdigits]{};
    std::size_t length;  // significant digits: 0 for zero
};

bool zerodigits(const std::int8_t* d, std::size_t n)
{
    return detail::significant(d, n) == 0;
}

// The value of the digits d[0, length), length <= 39, known to fit two words.
u128 valueof(const std::int8_t* d, std::size_t length)
{
    u128 v = 0;
    for (std::size_t i = length; i-- > 0;)
        v = v * 10 + static_cast<u64>(static_cast<std::uint8_t>(d[i]));
    return v;
}

// out[0, n) = v modulo 10^n.
void writevalue(u128 v, std::int8_t* out, std::size_t n)
{
    std::int8_t d[detail::integerdigits];
    const std::size_t length =
        detail::decimaldigits({false, static_cast<u64>(v >> 64), static_cast<u64>(v)}, d);
    const std::size_t used = std::min(length, n);
    std::memcpy(out, d, used);
    std::fill(out + used, out + n, std::int8_t{0});
}

// -1, 0 or 1 comparing the magnitude x[0, n) with the integer's.
int comparemagnitudes(const std::int8_t* x, std::size_t n, const operand& v)
{
    return detail::comparedigits(x, detail::significant(x, n), v.digits, v.length);
}

// out = x + (-1)^vminus |v|, signed: the exact sum's sign and its magnitude modulo 10^n.
bool signedsum(const std::int8_t* x, bool xminus, const operand& v, bool vminus, std::int8_t* out,
               std::size_t n)
{
    bool minus = xminus;
    if (xminus == vminus)
        detail::addshort(x, v.digits, v.length, out, n);
    else if (comparemagnitudes(x, n, v) >= 0)
        detail::subtractshort(x, v.digits, v.length, out, n);
    else
    {
        // |x| < |v|: both fit two words.
        writevalue(v.magnitude - valueof(x, detail::significant(x, n)), out, n);
        minus = vminus;
    }
    return minus && !zerodigits(out, n);
}

// out = x + (-1)^vminus |v| modulo 10^n, unsigned.
void residuesum(const std::int8_t* x, const operand& v, bool vminus, std::int8_t* out,
                std::size_t n)
{
    if (vminus)
        detail::subtractshort(x, v.digits, v.length, out, n);
    else
        detail::addshort(x, v.digits, v.length, out, n);
}

// The integer's value modulo 10^n, as n digits: its low digits, negated for a negative one.
std::vector<std::int8_t> residueof(const operand& v, std::size_t n)
{
    std::vector<std::int8_t> r(n);
    std::memcpy(r.data(), v.digits, std::min(v.length, n));
    if (v.minus)
        detail::negatedigits(r.data(), r.data(), n);
    return r;
}

// x / v or x % v (or v / x, v % x with `integerleft`) into out.
bool quotient(const std::int8_t* x, bool xminus, const operand& v, bool integerleft, bool remainder,
              std::int8_t* out, std::size_t n, bool issigned)
{
    std::int8_t* q = remainder ? nullptr : out;
    std::int8_t* r = remainder ? out : nullptr;
    if (!issigned)
    {
        // Residues modulo 10^n: the integer's is as wide as the number.
        const std::vector<std::int8_t> w = residueof(v, n);
        if (integerleft)
            detail::divmod(w.data(), n, x, n, q, r, n);
        else
            detail::divmod(x, n, w.data(), n, q, r, n);
        return false;
    }
    bool dividendminus = xminus;
    if (integerleft)
    {
        dividendminus = v.minus;
        const std::size_t lx = detail::significant(x, n);
        if (comparemagnitudes(x, n, v) > 0)
        {
            // The quotient is zero and the remainder the integer, below |x| < 10^n.
            std::fill(out, out + n, std::int8_t{0});
            if (remainder)
                std::memcpy(out, v.digits, v.length);
        }
        else
        {
            const u128 divisor = valueof(x, lx);
            writevalue(remainder ? v.magnitude % divisor : v.magnitude / divisor, out, n);
        }
    }
    else
        detail::divmod(x, n, v.digits, v.length, q, r, n);
    const bool minus = remainder ? dividendminus : xminus != v.minus;
    return minus && !zerodigits(out, n);
}

// Whether x op v divides by zero: then it throws before anything is made.
bool dividesbyzero(const fixedint& x, integerop op, const operand& v, bool integerleft)
{
    if (x.size == 0 || (op != integerop::divide && op != integerop::remainder))
        return false;
    if (integerleft)
    {
        const detail::digitsof divisor(x);
        return zerodigits(divisor.data(), divisor.size());
    }
    if (x.issigned)
        return v.length == 0;
    // Unsigned: the integer's residue modulo 10^width is zero when its low `size` digits are.
    return x.size >= v.length ? v.length == 0
                              : zerodigits(v.digits, static_cast<std::size_t>(x.size));
}

// The digits and sign flag of x op v (v op x with `integerleft`) from x's digits `in`.
bool compute(const std::int8_t* in, bool xminus, bool issigned, integerop op, const operand& v,
             bool integerleft, std::int8_t* out, std::size_t n)
{
    if (n == 0)
        return false;  // the width-0 zero
    switch (op)
    {
        case integerop::add:
        case integerop::subtract:
        {
            // x + v, x - v, or v - x = -(x - v).
            const bool flip = op == integerop::subtract;
            if (!issigned)
            {
                residuesum(in, v, v.minus != flip, out, n);
                if (flip && integerleft)
                    detail::negatedigits(out, out, n);
                return false;
            }
            const bool minus = signedsum(in, xminus, v, v.minus != flip, out, n);
            return flip && integerleft ? !minus && !zerodigits(out, n) : minus;
        }
        case integerop::multiply:
            detail::mullow(in, detail::significant(in, n), v.digits, v.length, out, n);
            if (!issigned)
            {
                if (v.minus)  // times 10^n - |v|
                    detail::negatedigits(out, out, n);
                return false;
            }
            return xminus != v.minus && !zerodigits(out, n);
        case integerop::divide:
        case integerop::remainder:
            return quotient(in, xminus, v, integerleft, op == integerop::remainder, out, n,
                            issigned);
    }
    return false;
}
}  // namespace

namespace detail
{
fixedint withinteger(const fixedint& x, integerop op, const integerparts& value, bool integerleft)
{
    const operand v(value);
    if (dividesbyzero(x, op, v, integerleft))
        throwdivisionbyzero();
    return resultof(x, [&](const std::int8_t* in, std::int8_t* out, std::size_t n)
                    { return compute(in, x.negative, x.issigned, op, v, integerleft, out, n); });
}

fixedint& withintegerinplace(fixedint& x, integerop op, const integerparts& value)
{
    const operand v(value);
    if (dividesbyzero(x, op, v, false))
        throwdivisionbyzero();
    return inplace(x, [&](const std::int8_t* in, std::int8_t* out, std::size_t n)
                   { return compute(in, x.negative, x.issigned, op, v, false, out, n); });
}
}  // namespace detail

fixedint& fixedint::operator++()
{
    return detail::withintegerinplace(*this, integerop::add, {false, 0, 1});
}

fixedint& fixedint::operator--()
{
    return detail::withintegerinplace(*this, integerop::subtract, {false, 0, 1});
}

fixedint fixedint::operator++(int)
{
    fixedint before(*this);
    ++*this;
    return before;
}

fixedint fixedint::operator--(int)
{
    fixedint before(*this);
    --*this;
    return before;
}
}  // namespace QUORVEL
