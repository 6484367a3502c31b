// Fixed-point values on digit strings: exact sums, products and quotients, rounding to a scale,
// comparison and hashing by value.
#include "number/scaled.hpp"

#include "kernel/decimal.hpp"
#include "kernel/digits.hpp"
#include "number/errors.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace QUORVEL
{
namespace detail
{
namespace
{
// a + b for lengths and shifts, or std::length_error where no store could hold it.
std::size_t checkedsum(std::uint64_t a, std::uint64_t b)
{
    if (a > std::numeric_limits<std::size_t>::max() - 1 ||
        b > std::numeric_limits<std::size_t>::max() - 1 - a)
        throw std::length_error("fixedfloat: value beyond the digit store's maximum length");
    return static_cast<std::size_t>(a + b);
}

// The magnitude d[0, length) times 10^shift, into out[0, n) (n >= length + shift).
void shifted(const std::int8_t* d, std::size_t length, std::size_t shift, std::int8_t* out,
             std::size_t n)
{
    std::fill(out, out + n, std::int8_t{0});
    if (length > 0)
        std::copy(d, d + length, out + shift);
}

// Adds one unit of the last place to the magnitude d[0, n), which has room for the carry.
void increment(std::int8_t* d, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
    {
        if (d[i] != 9)
        {
            ++d[i];
            return;
        }
        d[i] = 0;
    }
}

bool nonzero(const std::int8_t* d, std::size_t n)
{
    return significant(d, n) != 0;
}
}  // namespace

scaledview::scaledview(const fixedfloat& x) : places(x.pointpos / 2)
{
    const std::size_t n = usable(x.number);
    if (alldecimal(x.number.digits.data(), n))
        view = x.number.digits.data();
    else
    {
        copy.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            copy[i] = static_cast<std::int8_t>((x.number.digits[i] % 10 + 10) % 10);
        view = copy.data();
    }
    used = significant(view, n);
    minus = x.number.negative && used > 0;
}

scaledview::scaledview(const fixedint& x)
{
    const std::size_t n = usable(x);
    if (alldecimal(x.digits.data(), n))
        view = x.digits.data();
    else
    {
        copy.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            copy[i] = static_cast<std::int8_t>((x.digits[i] % 10 + 10) % 10);
        view = copy.data();
    }
    used = significant(view, n);
    minus = x.negative && used > 0;
}

scaledview::scaledview(bool negative, const std::int8_t* d, std::size_t length, std::uint64_t scale)
    : view(d), used(significant(d, length)), places(scale), minus(negative && used > 0)
{
}

bool roundsaway(remainder rest, bool negative, bool odd, rounding mode)
{
    if (rest == remainder::none)
        return false;
    switch (mode)
    {
        case rounding::down:
            return false;
        case rounding::up:
            return true;
        case rounding::floor:
            return negative;
        case rounding::ceiling:
            return !negative;
        case rounding::halfup:
            return rest != remainder::belowhalf;
        case rounding::halfdown:
            return rest == remainder::abovehalf;
        case rounding::halfeven:
            break;
    }
    return rest == remainder::abovehalf || (rest == remainder::half && odd);
}

remainder droppedpart(const std::int8_t* d, std::size_t length, std::uint64_t k)
{
    if (k == 0)
        return remainder::none;
    const int first = k - 1 < length ? d[k - 1] : 0;
    const bool below = nonzero(d, static_cast<std::size_t>(std::min<std::uint64_t>(k - 1, length)));
    if (first == 0 && !below)
        return remainder::none;
    if (first < 5)
        return remainder::belowhalf;
    return first == 5 && !below ? remainder::half : remainder::abovehalf;
}

std::uint64_t pointposof(std::uint64_t width, std::uint64_t scale)
{
    if (scale > width)
        throw std::invalid_argument("fixedfloat: a scale of " + std::to_string(scale) +
                                    " digits is larger than the width " + std::to_string(width));
    if (scale > std::numeric_limits<std::uint64_t>::max() / 2)
        throw std::length_error("fixedfloat: width beyond the digit store's maximum length");
    return 2 * scale;
}

void throwdoesnotfitdecimal(std::uint64_t width, std::uint64_t scale)
{
    throw std::overflow_error("fixedfloat: value does not fit " + std::to_string(width) +
                              " digits with " + std::to_string(scale) + " after the point");
}

scaled sum(const scaledview& a, const scaledview& b, bool subtract)
{
    const std::uint64_t s = std::max(a.scale(), b.scale());
    const std::size_t ea = a.iszero() ? 0 : checkedsum(a.length(), s - a.scale());
    const std::size_t eb = b.iszero() ? 0 : checkedsum(b.length(), s - b.scale());
    const std::size_t n = checkedsum(std::max(ea, eb), 1);
    scaled r;
    r.scale = s;
    r.digits.resize(n);
    std::vector<std::int8_t> other(n);
    shifted(a.data(), a.length(), ea - a.length(), r.digits.data(), n);
    shifted(b.data(), b.length(), eb - b.length(), other.data(), n);
    const bool bminus = b.negative() != (subtract && !b.iszero());
    if (a.negative() == bminus)
    {
        adddigits(r.digits.data(), other.data(), r.digits.data(), n);
        r.negative = a.negative();
    }
    else if (comparedigits(r.digits.data(), n, other.data(), n) >= 0)
    {
        subtractdigits(r.digits.data(), other.data(), r.digits.data(), n);
        r.negative = a.negative();
    }
    else
    {
        subtractdigits(other.data(), r.digits.data(), r.digits.data(), n);
        r.negative = bminus;
    }
    r.negative = r.negative && nonzero(r.digits.data(), n);
    return r;
}

scaled product(const scaledview& a, const scaledview& b)
{
    scaled r;
    r.scale = checkedsum(a.scale(), b.scale());
    const std::size_t n = checkedsum(a.length(), b.length());
    r.digits.resize(n);
    if (n > 0)
        mullow(a.data(), a.length(), b.data(), b.length(), r.digits.data(), n);
    r.negative = a.negative() != b.negative() && !a.iszero() && !b.iszero();
    return r;
}

scaled quotient(const scaledview& a, const scaledview& b, std::uint64_t scale, rounding mode)
{
    if (b.iszero())
        throwdivisionbyzero();
    scaled q;
    q.scale = scale;
    if (a.iszero())
        return q;
    // a / b at the scale: round(A 10^(scale + sb - sa) / B), the power of ten going to the
    // dividend or to the divisor.
    const std::size_t up = checkedsum(scale, b.scale());
    const std::size_t na = a.scale() <= up ? checkedsum(a.length(), up - a.scale()) : a.length();
    const std::size_t nb = a.scale() > up ? checkedsum(b.length(), a.scale() - up) : b.length();
    std::vector<std::int8_t> dividend(na), divisor(nb);
    shifted(a.data(), a.length(), na - a.length(), dividend.data(), na);
    shifted(b.data(), b.length(), nb - b.length(), divisor.data(), nb);
    const std::size_t n = std::max(na, nb);
    q.digits.resize(checkedsum(n, 1));
    std::vector<std::int8_t> rest(checkedsum(n, 1));
    dividend.resize(n);
    divmod(dividend.data(), na, divisor.data(), nb, q.digits.data(), rest.data(), n);
    q.digits[n] = 0;
    // Where the remainder lies against half the divisor: 2r against b.
    remainder where = remainder::none;
    if (nonzero(rest.data(), n))
    {
        adddigits(rest.data(), rest.data(), rest.data(), n + 1);
        const int c = comparedigits(rest.data(), n + 1, divisor.data(), nb);
        where = c < 0 ? remainder::belowhalf : c == 0 ? remainder::half : remainder::abovehalf;
    }
    q.negative = a.negative() != b.negative();
    if (roundsaway(where, q.negative, (q.digits[0] & 1) != 0, mode))
        increment(q.digits.data(), q.digits.size());
    q.negative = q.negative && nonzero(q.digits.data(), q.digits.size());
    return q;
}

void rescale(scaled& v, std::uint64_t scale, rounding mode)
{
    const std::size_t length = significant(v.digits.data(), v.digits.size());
    v.digits.resize(length);
    if (length == 0)
    {
        v.scale = scale;
        v.negative = false;
        return;
    }
    if (scale >= v.scale)
    {
        const std::size_t up = checkedsum(scale - v.scale, 0);
        v.digits.insert(v.digits.begin(), up, std::int8_t{0});
        v.scale = scale;
        return;
    }
    const std::uint64_t k = v.scale - scale;
    const remainder where = droppedpart(v.digits.data(), length, k);
    const bool odd = k < length && (v.digits[static_cast<std::size_t>(k)] & 1) != 0;
    v.digits.erase(v.digits.begin(), v.digits.begin() + static_cast<std::ptrdiff_t>(
                                                            std::min<std::uint64_t>(k, length)));
    v.scale = scale;
    if (roundsaway(where, v.negative, odd, mode))
    {
        v.digits.push_back(0);
        increment(v.digits.data(), v.digits.size());
        v.digits.resize(significant(v.digits.data(), v.digits.size()));
    }
    v.negative = v.negative && !v.digits.empty();
}

void fitto(scaled& v, std::uint64_t width, std::uint64_t scale, rounding mode)
{
    rescale(v, scale, mode);
    const std::size_t length = significant(v.digits.data(), v.digits.size());
    if (length > width)
        throwdoesnotfitdecimal(width, scale);
    v.digits.resize(storelength(width));
    v.negative = v.negative && length > 0;
}

int compare(const scaledview& a, const scaledview& b)
{
    if (a.negative() != b.negative())
        return a.negative() ? -1 : 1;
    const int sign = a.negative() ? -1 : 1;
    // The powers of ten of the top digits: la - sa against lb - sb, without going negative.
    const std::uint64_t ta = std::uint64_t{a.length()} + b.scale();
    const std::uint64_t tb = std::uint64_t{b.length()} + a.scale();
    if (a.iszero() || b.iszero())
        return a.iszero() == b.iszero() ? 0 : (a.iszero() ? -sign : sign);
    if (ta != tb)
        return ta < tb ? -sign : sign;
    // The same top power: digits from the top down, then what is left of the longer one.
    const std::size_t la = a.length(), lb = b.length(), common = std::min(la, lb);
    for (std::size_t t = 1; t <= common; ++t)
        if (a.data()[la - t] != b.data()[lb - t])
            return a.data()[la - t] < b.data()[lb - t] ? -sign : sign;
    if (la > lb && nonzero(a.data(), la - lb))
        return sign;
    if (lb > la && nonzero(b.data(), lb - la))
        return -sign;
    return 0;
}

std::size_t hashof(const scaledview& x)
{
    // Fraction digits that are zero do not count: 2.50 hashes as 2.5, 2.00 as the integer 2.
    std::size_t zeros = 0;
    const auto fraction = static_cast<std::size_t>(std::min<std::uint64_t>(x.scale(), x.length()));
    while (zeros < fraction && x.data()[zeros] == 0) ++zeros;
    const std::size_t h = hashdigits(x.data() + zeros, x.length() - zeros, x.negative());
    const std::uint64_t places = x.scale() - zeros;
    if (places == 0 || x.iszero())
        return h;
    std::uint64_t mixed = (static_cast<std::uint64_t>(h) ^ places) * 0xD6E8FEB86659FD93ULL;
    return static_cast<std::size_t>(mixed ^ (mixed >> 32));
}
}  // namespace detail
}  // namespace QUORVEL
