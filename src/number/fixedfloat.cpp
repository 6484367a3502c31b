// The fixed-point type: its integer part and its text.
#include "kernel/digits.hpp"
#include "number/fields.hpp"

#include <quorvel/fixedfloat.hpp>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace QUORVEL
{
fixedint& fixedint::operator=(const fixedfloat& value)
{
    fixedint part = value.getintpart();
    detail::takeover(*this, part);  // the temporary is about to go: its store is taken, not copied
    return *this;
}

fixedint fixedfloat::getintpart() const
{
    fixedint result = number.getcopy();
    // pointpos / 2 single shifts; past the width every digit is zero and further shifts change
    // nothing, so one shift by at most the width does the same.
    detail::shiftdown(result, pointpos >> 1);
    return result;
}

std::string fixedfloat::asstring() const
{
    const std::uint64_t fraction = pointpos / 2;
    const detail::digitsof x(number);
    const std::size_t len = detail::significant(x.data(), x.size());
    if (fraction > std::numeric_limits<std::size_t>::max() / 2 - len - 3)
        throw std::length_error("fixedfloat: too many fraction digits to render");
    const auto k = static_cast<std::size_t>(fraction);
    // All digits, most significant first, with at least one before the point.
    std::string all(std::max(len, k + 1), '0');
    detail::textfromdigits(x.data(), len, &all[all.size() - len]);
    if (k > 0)
        all.insert(all.size() - k, 1, '.');
    if (number.negative)
        all.insert(all.begin(), '-');
    return all;
}
}  // namespace QUORVEL
