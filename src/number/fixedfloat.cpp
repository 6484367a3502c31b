// The fixed-point type's integer part, and its assignment to a fixedint.
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

}  // namespace QUORVEL
