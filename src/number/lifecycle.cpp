// The life of a fixedint: construction, copies and moves, destruction, resizing, and the digit
// operations of its store.
#include "kernel/digits.hpp"
#include "log/lines.hpp"
#include "number/fields.hpp"
#include "number/stores.hpp"

#include <quorvel/log.hpp>

#include <algorithm>
#include <cstring>

namespace QUORVEL
{
namespace
{
using detail::line;

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

namespace detail
{
void shiftdown(fixedint& x, std::uint64_t count)
{
    const std::size_t n = usable(x);
    const std::size_t s = static_cast<std::size_t>(std::min<std::uint64_t>(count, n));
    if (s == 0)
        return;
    std::memmove(x.digits.data(), x.digits.data() + s, n - s);
    std::memset(x.digits.data() + (n - s), 0, s);
}
}  // namespace detail

namespace
{
// The construction's lines for one width, made once per width and thread: the two before the
// store, and all three for a store that cannot fail.
struct constructionlines
{
    std::uint64_t width = 0;
    bool made = false;
    detail::linebatch beforestore, all;
};
thread_local constructionlines lastconstruction;

const constructionlines& constructionof(std::uint64_t width)
{
    constructionlines& l = lastconstruction;
    if (!l.made || l.width != width)
    {
        l.beforestore = detail::linebatch().add(line::newobject).addwidth(width);
        l.all = detail::linebatch().add(line::newobject).addwidth(width).add(line::done);
        l.width = width;
        l.made = true;
    }
    return l;
}
}  // namespace

fixedint::fixedint(std::uint64_t width)
    : negative(false), size(width), issigned(true), spareflag(false), digits()
{
    setup();
    const std::size_t length = detail::requestedlength(width);
    const constructionlines& lines = constructionof(width);
    if (detail::sparefits(length))
    {
        // The store comes from the thread's spare and cannot fail: "Done." goes with the others.
        lines.all.append();
        detail::makestore(digits, length, nullptr);
        return;
    }
    lines.beforestore.append();
    detail::makestore(digits, length, nullptr);
    detail::logline(line::done);
}

fixedint::fixedint(const fixedint& other)
    : negative(other.negative),
      size(other.size),
      issigned(other.issigned),
      spareflag(other.spareflag),
      digits()
{
    detail::makestore(digits, other.digits.size(), other.digits.data());
}

fixedint::fixedint(fixedint&& other) noexcept
    : negative(false), size(0), issigned(true), spareflag(false), digits()
{
    detail::takeover(*this, other);
    leavemovedfrom(other);
}

fixedint& fixedint::operator=(fixedint&& other) noexcept
{
    if (this == &other)
        return *this;
    detail::takeover(*this, other);  // the old store goes with `other`
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
    detail::copyfields(*this, other);
    return *this;
}

fixedint::~fixedint()
{
    detail::logdeleted();
    detail::keepstore(digits);
}

void fixedint::resize(std::uint64_t width)
{
    detail::linebatch().add(line::resizerequested).addwidth(width).append();
    const std::size_t length = detail::requestedlength(width), old = digits.size();
    // Whatever can fail comes before the number changes: a longer store is made first (the
    // vector keeps the old one when it cannot), and given back when the last line finds no room;
    // a shorter one, which cannot fail, is cut only after that line.
    if (length > old)
    {
        digits.resize(length);
        try
        {
            detail::logline(line::done);
        }
        catch (...)
        {
            digits.resize(old);  // drops the zeros just appended: no allocation
            throw;
        }
    }
    else
    {
        detail::logline(line::done);
        digits.resize(length);
    }
    size = width;
}

fixedint fixedint::getcopy() const
{
    fixedint result(size);
    result.digits = digits;
    detail::copyfields(result, *this);
    return result;
}

void fixedint::wholeshiftr()
{
    detail::shiftdown(*this, 1);
}

std::vector<std::int8_t> fixedint::getshorteneddigits() const
{
    const std::size_t length = detail::significant(digits.data(), digits.size());
    return std::vector<std::int8_t>(digits.begin(),
                                    digits.begin() + static_cast<std::ptrdiff_t>(length));
}
}  // namespace QUORVEL
