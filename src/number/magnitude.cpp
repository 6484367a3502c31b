// The magnitude of fixedint: whether it is zero, its digit count, the absolute value, the
// residue modulo 10^width, and decimal shifts.
#include "kernel/carry.hpp"
#include "kernel/digits.hpp"
#include "number/fields.hpp"

#include <algorithm>

namespace QUORVEL
{
namespace
{
// The significant digits of x as the arithmetic reads them, without copying the store.
std::size_t significantdigits(const fixedint& x)
{
    const std::size_t n = detail::usable(x);
    const std::int8_t* d = x.digits.data();
    if (detail::alldecimal(d, n))
        return detail::significant(d, n);
    for (std::size_t i = n; i-- > 0;)
        if (d[i] % 10 != 0)  // digits read modulo 10
            return i + 1;
    return 0;
}

bool zerodigits(const std::int8_t* d, std::size_t n)
{
    return detail::significant(d, n) == 0;
}
}  // namespace

bool fixedint::iszero() const
{
    return significantdigits(*this) == 0;
}

std::uint64_t fixedint::digitcount() const
{
    return significantdigits(*this);
}

fixedint fixedint::residue() const
{
    const bool negated = issigned && negative;
    return detail::resultof(*this,
                            [negated](const std::int8_t* in, std::int8_t* out, std::size_t n)
                            {
                                if (negated)
                                    detail::negatedigits(in, out, n);
                                else
                                    std::copy(in, in + n, out);
                                return false;
                            });
}

fixedint abs(const fixedint& x)
{
    return detail::resultof(x,
                            [](const std::int8_t* in, std::int8_t* out, std::size_t n)
                            {
                                std::copy(in, in + n, out);
                                return false;
                            });
}

fixedint& fixedint::shiftleft(std::uint64_t k)
{
    const bool minus = negative;
    return detail::inplace(*this,
                           [k, minus](const std::int8_t* in, std::int8_t* out, std::size_t n)
                           {
                               const std::size_t s =
                                   static_cast<std::size_t>(std::min<std::uint64_t>(k, n));
                               std::copy_backward(in, in + (n - s), out + n);
                               std::fill(out, out + s, std::int8_t{0});
                               return minus && !zerodigits(out, n);
                           });
}

fixedint& fixedint::shiftright(std::uint64_t k)
{
    const bool minus = negative;
    return detail::inplace(*this,
                           [k, minus](const std::int8_t* in, std::int8_t* out, std::size_t n)
                           {
                               const std::size_t s =
                                   static_cast<std::size_t>(std::min<std::uint64_t>(k, n));
                               std::copy(in + s, in + n, out);
                               std::fill(out + (n - s), out + n, std::int8_t{0});
                               return minus && !zerodigits(out, n);
                           });
}
}  // namespace QUORVEL
