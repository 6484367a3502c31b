#include "quorvel/quorvel.hpp"

#include "quorvel/digits.hpp"
#include "quorvel/kernel.hpp"
#include "quorvel/log.hpp"
#include "quorvel/number.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace QUORVEL
{
namespace detail
{
std::size_t storelength(std::uint64_t width)
{
    if constexpr (sizeof(std::size_t) < sizeof(std::uint64_t))
        if (width > std::numeric_limits<std::size_t>::max())
            throw std::length_error("fixedint: width beyond the digit store's maximum length");
    return static_cast<std::size_t>(width);
}

std::size_t requestedlength(std::uint64_t width)
{
    return static_cast<std::size_t>(
        std::min<std::uint64_t>(width, std::numeric_limits<std::size_t>::max()));
}

std::size_t usable(const fixedint& x)
{
    return static_cast<std::size_t>(std::min<std::uint64_t>(x.size, x.digits.size()));
}

std::size_t decimaldigits(std::uint64_t v, std::int8_t (&out)[20])
{
    std::size_t n = 0;
    do
    {
        out[n++] = static_cast<std::int8_t>(v % 10);
        v /= 10;
    } while (v != 0);
    return n;
}

void checkwidths(const fixedint& a, const fixedint& b)
{
    if (a.size != b.size)
        throw std::length_error("Int sizes are not equal!");
}

digitsof::digitsof(const fixedint& x) : length(storelength(x.size))
{
    const std::size_t n = usable(x);
    if (n == length && alldecimal(x.digits.data(), n))
    {
        view = x.digits.data();
        return;
    }
    copy.assign(length, 0);
    for (std::size_t i = 0; i < n; ++i)
        copy[i] = static_cast<std::int8_t>((x.digits[i] % 10 + 10) % 10);
    view = copy.data();
}
}  // namespace detail

namespace
{
using detail::line;
using detail::logline;
using detail::storelength;
using detail::usable;

std::size_t significant(const std::vector<std::int8_t>& d)
{
    return detail::significant(d.data(), d.size());
}

// Rendering of digits outside 0 to 9 (only a caller can put them there): each digit's own decimal
// text, most significant first, then leading zeros stripped. Slow, but never garbled memory.
std::string renderloose(const std::int8_t* d, std::size_t n)
{
    std::string text;
    for (std::size_t i = n; i-- > 0;) text += std::to_string(static_cast<int>(d[i]));
    const std::size_t first =
        std::min(text.find_first_not_of('0'), text.empty() ? 0 : text.size() - 1);
    return text.substr(first);
}

// Drops the low `count` digits of the usable positions and fills zeros in at the top: the same as
// `count` single shifts, at the cost of one.
void shiftdown(fixedint& x, std::uint64_t count)
{
    const std::size_t n = usable(x);
    const std::size_t s = static_cast<std::size_t>(std::min<std::uint64_t>(count, n));
    if (s == 0)
        return;
    std::memmove(x.digits.data(), x.digits.data() + s, n - s);
    std::memset(x.digits.data() + (n - s), 0, s);
}

// What a number is left as when it was moved from: the zero of width 0, signed, flags clear.
void leavemovedfrom(fixedint& x) noexcept
{
    x.digits.clear();
    x.negative = false;
    x.size = 0;
    x.issigned = true;
    x.spareflag = false;
}
}  // namespace

fixedint::fixedint(std::uint64_t width)
    : negative(false), size(width), issigned(true), spareflag(false), digits()
{
    setup();
    logline(line::newobject);
    detail::logwidth(width);
    digits.resize(detail::requestedlength(width));
    logline(line::done);
}

fixedint::fixedint(const fixedint& other) = default;

fixedint::fixedint(fixedint&& other) noexcept
    : negative(other.negative),
      size(other.size),
      issigned(other.issigned),
      spareflag(other.spareflag),
      digits(std::move(other.digits))
{
    leavemovedfrom(other);
}

fixedint& fixedint::operator=(fixedint&& other) noexcept
{
    if (this == &other)
        return *this;
    digits.swap(other.digits);  // the old store goes with `other`
    negative = other.negative;
    size = other.size;
    issigned = other.issigned;
    spareflag = other.spareflag;
    leavemovedfrom(other);
    return *this;
}

fixedint& fixedint::operator=(const fixedint& other)
{
    if (this == &other)
        return *this;
    if (digits.capacity() >= other.digits.size())
        digits.assign(other.digits.begin(), other.digits.end());  // no allocation, cannot fail
    else
        digits = std::vector<std::int8_t>(other.digits);  // the copy is made before the swap
    negative = other.negative;
    size = other.size;
    issigned = other.issigned;
    spareflag = other.spareflag;
    return *this;
}

fixedint::~fixedint()
{
    detail::logdeleted();
}

void fixedint::resize(std::uint64_t width)
{
    logline(line::resizerequested);
    detail::logwidth(width);
    digits.resize(detail::requestedlength(width));  // leaves the store as it was when it throws
    size = width;
    logline(line::done);
}

fixedint fixedint::getcopy() const
{
    fixedint result(size);
    result.negative = negative;
    result.issigned = issigned;
    result.spareflag = spareflag;
    result.digits = digits;
    return result;
}

void fixedint::wholeshiftr()
{
    shiftdown(*this, 1);
}

std::vector<std::int8_t> fixedint::getshorteneddigits() const
{
    const auto end = digits.begin() + static_cast<std::ptrdiff_t>(significant(digits));
    return std::vector<std::int8_t>(digits.begin(), end);
}

fixedint& fixedint::operator=(std::int64_t value)
{
    assignmagnitude(value < 0, value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                         : static_cast<std::uint64_t>(value));
    return *this;
}

void fixedint::assignmagnitude(bool minus, std::uint64_t magnitude)
{
    std::int8_t text[20];
    const std::size_t len = detail::decimaldigits(magnitude, text);
    if (size < len)
        throw std::out_of_range("Input int bigger than size!");
    const std::size_t n = storelength(size);
    if (digits.size() == n)
        std::fill(digits.begin(), digits.end(), std::int8_t{0});
    else
        std::vector<std::int8_t>(n).swap(digits);  // a store a caller resized: rebuilt to the width
    std::memcpy(digits.data(), text, len);
    if (issigned)
        negative = minus;
}

std::string fixedint::asstring() const
{
    const std::size_t n = usable(*this);
    std::string text;
    if (!detail::alldecimal(digits.data(), n))
        text = renderloose(digits.data(), n);
    else if (n > 0)
    {
        text.resize(std::max<std::size_t>(detail::significant(digits.data(), n), 1));
        detail::textfromdigits(digits.data(), text.size(), &text[0]);
    }
    if (negative)
        text.insert(text.begin(), '-');
    return text;
}

fixedint& fixedint::operator=(const fixedfloat& value)
{
    fixedint part = value.getintpart();
    // The temporary is about to go: its store is taken over instead of copied.
    digits.swap(part.digits);
    negative = part.negative;
    size = part.size;
    issigned = part.issigned;
    spareflag = part.spareflag;
    return *this;
}

fixedint fixedfloat::getintpart() const
{
    fixedint result = number.getcopy();
    // pointpos / 2 single shifts; past the width every digit is zero and further shifts change
    // nothing, so one shift by at most the width does the same.
    shiftdown(result, pointpos >> 1);
    return result;
}

fixedint fixedint::operator*(fixedint rhs) const
{
    if (size != rhs.size)
        throw std::length_error("Int sizes are not equal!");
    fixedint result(size + rhs.size);
    result = std::int64_t{0};
    const std::size_t la = significant(digits);
    const std::size_t lb = significant(rhs.digits);
    const std::uint64_t scratch = result.size;
    // Digits up to position la + lb - 1 are written (the last by a carry); with stores of exactly
    // `size` digits that is always inside the scratch result.
    if (la > 0 && lb > 0 && la + lb > scratch)
        throw std::out_of_range(
            "Report this to dev: Out of range while running multiplication! Index: " +
            std::to_string(scratch));
    detail::mullow(digits.data(), la, rhs.digits.data(), lb, result.digits.data(),
                   static_cast<std::size_t>(std::min<std::uint64_t>(usable(result), size)));
    if (issigned)
        result.negative = negative != rhs.negative;
    result.resize(size);
    return result;
}
}  // namespace QUORVEL
