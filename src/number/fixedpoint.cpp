// The fixed-point arithmetic of fixedfloat: construction, the exact operators, the compound
// assignments rounding once to their target, rescaling, division, allocation, comparison and
// hashing.
#include "kernel/decimal.hpp"
#include "kernel/digits.hpp"
#include "number/errors.hpp"
#include "number/scaled.hpp"

#include <algorithm>
#include <limits>
#include <numeric>
#include <stdexcept>

namespace QUORVEL
{
namespace
{
using detail::scaled;
using detail::scaledview;

// A value as a scaled value of its own, to be rounded or rescaled.
scaled copyof(const scaledview& x)
{
    scaled v;
    v.negative = x.negative();
    v.digits.assign(x.data(), x.data() + x.length());
    v.scale = x.scale();
    return v;
}

// The width of a sum or a difference: one integer digit more than the wider operand has, and the
// larger scale.
std::uint64_t sumwidth(const fixedfloat& a, const fixedfloat& b)
{
    const std::uint64_t ia = a.width() - std::min(a.width(), a.scale());
    const std::uint64_t ib = b.width() - std::min(b.width(), b.scale());
    const std::uint64_t digits = std::max(ia, ib) + 1, s = std::max(a.scale(), b.scale());
    if (s > std::numeric_limits<std::uint64_t>::max() - digits)
        throw std::length_error("fixedfloat: width beyond the digit store's maximum length");
    return digits + s;
}

// a + b (a - b with `subtract`), exactly.
fixedfloat exactsum(const fixedfloat& a, const fixedfloat& b, bool subtract)
{
    const std::uint64_t width = sumwidth(a, b);
    scaled v = detail::sum(scaledview(a), scaledview(b), subtract);
    detail::fitto(v, width, v.scale, rounding::down);
    return detail::floataccess::make(width, v.scale, std::move(v));
}

}  // namespace

fixedfloat::fixedfloat(std::uint64_t width, std::uint64_t scale)
    : number((detail::pointposof(width, scale), width)), pointpos(2 * scale)
{
}

fixedfloat::fixedfloat(std::uint64_t width, std::uint64_t scale, void (*fill)(fixedint&, void*),
                       void* context)
    : number(width), pointpos(2 * scale)
{
    fill(number, context);
}

fixedfloat::fixedfloat(std::uint64_t width, std::uint64_t scale, const detail::integerparts& value)
    : fixedfloat(width, scale, detail::floataccess::takescaled,
                 detail::floataccess::keep(
                     [&]
                     {
                         detail::pointposof(width, scale);
                         std::int8_t d[detail::integerdigits];
                         scaled v;
                         v.negative = value.minus;
                         v.digits.assign(d, d + detail::decimaldigits(value, d));
                         detail::fitto(v, width, scale, rounding::down);
                         return v;
                     }()))
{
}

fixedfloat::fixedfloat(const fixedint& value, std::uint64_t point) : number(value), pointpos(point)
{
}

fixedfloat::fixedfloat(fixedint&& value, std::uint64_t point) noexcept
    : number(std::move(value)), pointpos(point)
{
}

fixedfloat fixedfloat::operator+(const fixedfloat& rhs) const
{
    return exactsum(*this, rhs, false);
}

fixedfloat fixedfloat::operator-(const fixedfloat& rhs) const
{
    return exactsum(*this, rhs, true);
}

fixedfloat fixedfloat::operator*(const fixedfloat& rhs) const
{
    scaled v = detail::product(scaledview(*this), scaledview(rhs));
    const std::uint64_t width = number.size + rhs.number.size;
    detail::fitto(v, width, v.scale, rounding::down);
    return detail::floataccess::make(width, v.scale, std::move(v));
}

fixedfloat fixedfloat::operator-() const
{
    scaled v = copyof(scaledview(*this));
    v.negative = !v.negative && !v.digits.empty();
    detail::fitto(v, width(), scale(), rounding::down);
    return detail::floataccess::make(width(), scale(), std::move(v));
}

fixedfloat fixedfloat::operator/(const fixedfloat& rhs) const
{
    return divide(*this, rhs, width(), scale(), rounding::halfeven);
}

fixedfloat fixedfloat::rescale(std::uint64_t width, std::uint64_t scale, rounding mode) const
{
    detail::pointposof(width, scale);
    // The digits kept (and whether the last goes up by one) are settled before the value is
    // made, so that an overflow makes nothing; then they are written straight into it.
    const scaledview x(*this);
    const std::int8_t* kept = x.data();
    std::size_t length = x.length(), up = 0;
    bool increment = false;
    if (scale >= x.scale())
    {
        if (length > 0 && (scale - x.scale() > width || length > width - (scale - x.scale())))
            detail::throwdoesnotfitdecimal(width, scale);
        up = length > 0 ? static_cast<std::size_t>(scale - x.scale()) : 0;
    }
    else
    {
        const std::uint64_t k = x.scale() - scale;
        const auto drop = static_cast<std::size_t>(std::min<std::uint64_t>(k, length));
        increment = detail::roundsaway(detail::droppedpart(x.data(), length, k), x.negative(),
                                       drop < length && (kept[drop] & 1) != 0, mode);
        kept += drop;
        length -= drop;
        const bool carries =
            increment && std::all_of(kept, kept + length, [](std::int8_t d) { return d == 9; });
        if (length + (carries ? 1 : 0) > width)
            detail::throwdoesnotfitdecimal(width, scale);
    }
    const bool minus = x.negative() && (length > 0 || increment);
    return detail::floataccess::make(
        width, scale,
        [&](fixedint& result)
        {
            std::int8_t* out = result.digits.data() + up;
            std::copy(kept, kept + length, out);
            for (std::size_t i = 0; increment; ++i)
            {
                increment = out[i] == 9;
                out[i] = static_cast<std::int8_t>(increment ? 0 : out[i] + 1);
            }
            result.negative = minus;
        });
}

fixedfloat divide(const fixedfloat& a, const fixedfloat& b, std::uint64_t width,
                  std::uint64_t scale, rounding mode)
{
    detail::pointposof(width, scale);
    scaled v = detail::quotient(scaledview(a), scaledview(b), scale, mode);
    detail::fitto(v, width, scale, mode);
    return detail::floataccess::make(width, scale, std::move(v));
}

namespace
{
// The parts of an allocation, made in place (so that no moved-from number logs a deletion) and
// given their digits: `amounts[i]` (digit strings of at most the width) with the sign `minus`.
std::vector<fixedfloat> parts(const fixedfloat& whole,
                              const std::vector<std::vector<std::int8_t>>& amounts, bool minus)
{
    std::vector<fixedfloat> out;
    out.reserve(amounts.size());
    const std::size_t n = detail::storelength(whole.width());
    for (const std::vector<std::int8_t>& a : amounts)
    {
        out.emplace_back(whole.width(), 0);
        out.back().pointpos = whole.pointpos;
        fixedint& x = out.back().number;
        std::copy(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(std::min(a.size(), n)),
                  x.digits.begin());
        x.negative = minus && detail::significant(x.digits.data(), n) > 0;
    }
    return out;
}

// The decimal digits of v, least significant first.
std::vector<std::int8_t> digitsof(std::uint64_t v)
{
    std::int8_t d[detail::integerdigits];
    return std::vector<std::int8_t>(d, d + detail::decimaldigits({false, 0, v}, d));
}

// a + 1 in place, growing by a digit where it carries.
void plusone(std::vector<std::int8_t>& a)
{
    a.push_back(0);
    for (std::int8_t& d : a)
    {
        if (d != 9)
        {
            ++d;
            return;
        }
        d = 0;
    }
}
}  // namespace

std::vector<fixedfloat> fixedfloat::allocate(std::size_t count) const
{
    if (count == 0)
        throw std::invalid_argument("fixedfloat: allocate needs at least one part");
    const scaledview x(*this);
    // |x| = q count + r: the first r parts take q + 1 units, the others q.
    const std::vector<std::int8_t> divisor = digitsof(count);
    const std::size_t n = std::max(x.length(), divisor.size());
    std::vector<std::int8_t> whole(x.data(), x.data() + x.length()), q(n), r(n);
    whole.resize(n);
    std::size_t rest = 0;
    if (x.length() > 0)
    {
        detail::divmod(whole.data(), x.length(), divisor.data(), divisor.size(), q.data(), r.data(),
                       n);
        for (std::size_t i = detail::significant(r.data(), n); i-- > 0;)
            rest = rest * 10 + static_cast<std::size_t>(r[i]);
    }
    std::vector<std::int8_t> bigger = q;
    plusone(bigger);
    std::vector<std::vector<std::int8_t>> amounts(count, q);
    std::fill(amounts.begin(), amounts.begin() + static_cast<std::ptrdiff_t>(rest), bigger);
    return parts(*this, amounts, x.negative());
}

std::vector<fixedfloat> fixedfloat::allocate(const std::vector<std::uint64_t>& ratios) const
{
    if (ratios.empty())
        throw std::invalid_argument("fixedfloat: allocate needs at least one ratio");
    // The sum of the ratios, as digits (it may pass 2^64).
    std::vector<std::int8_t> total(40, 0);
    for (std::uint64_t ratio : ratios)
    {
        std::vector<std::int8_t> d = digitsof(ratio);
        d.resize(total.size());
        detail::adddigits(total.data(), d.data(), total.data(), total.size());
    }
    const std::size_t lt = detail::significant(total.data(), total.size());
    if (lt == 0)
        throw std::invalid_argument("fixedfloat: allocate needs a ratio that is not zero");
    const scaledview x(*this);
    // Each share is |x| ratio / total toward zero; the remainders rank the shares for the units
    // left over.
    std::vector<std::vector<std::int8_t>> shares(ratios.size()), remainders(ratios.size());
    std::vector<std::int8_t> given(x.length() + 1, 0);
    for (std::size_t i = 0; i < ratios.size(); ++i)
    {
        const std::vector<std::int8_t> r = digitsof(ratios[i]);
        const std::size_t n = std::max(x.length() + r.size(), lt);
        std::vector<std::int8_t> p(n, 0);
        if (x.length() > 0)
            detail::mullow(x.data(), x.length(), r.data(), r.size(), p.data(), n);
        shares[i].assign(n, 0);
        remainders[i].assign(n, 0);
        if (detail::significant(p.data(), n) > 0)
            detail::divmod(p.data(), n, total.data(), lt, shares[i].data(), remainders[i].data(),
                           n);
        std::vector<std::int8_t> s = shares[i];
        s.resize(given.size());
        detail::adddigits(given.data(), s.data(), given.data(), given.size());
    }
    // The units left over: |x| less what the shares took, fewer than the shares.
    std::vector<std::int8_t> left(x.data(), x.data() + x.length());
    left.resize(given.size());
    detail::subtractdigits(left.data(), given.data(), left.data(), left.size());
    std::size_t units = 0;
    for (std::size_t i = detail::significant(left.data(), left.size()); i-- > 0;)
        units = units * 10 + static_cast<std::size_t>(left[i]);
    std::vector<std::size_t> order(ratios.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b)
                     {
                         return detail::comparedigits(remainders[a].data(), remainders[a].size(),
                                                      remainders[b].data(),
                                                      remainders[b].size()) > 0;
                     });
    for (std::size_t k = 0; k < units; ++k) plusone(shares[order[k]]);
    return parts(*this, shares, x.negative());
}

int fixedfloat::compare(const fixedfloat& other) const
{
    return detail::compare(scaledview(*this), scaledview(other));
}

int fixedfloat::compare(const fixedint& other) const
{
    return detail::compare(scaledview(*this), scaledview(other));
}

int fixedfloat::compareparts(const detail::integerparts& value) const
{
    std::int8_t d[detail::integerdigits];
    const std::size_t length = detail::decimaldigits(value, d);
    return detail::compare(scaledview(*this), scaledview(value.minus, d, length, 0));
}

std::size_t fixedfloat::hash() const
{
    return detail::hashof(scaledview(*this));
}
}  // namespace QUORVEL
