/// @file
/// `QUORVEL::fixedfloat`: a fixed-point decimal of a fixed width and scale, as SQL's
/// `DECIMAL(width, scale)`, for money, rates and measured quantities.
#pragma once

#include <quorvel/export.hpp>
#include <quorvel/fixedint.hpp>

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace QUORVEL
{
namespace detail
{
struct floataccess;
}  // namespace detail

/// How a value is rounded to a scale: to the nearest, ties to the even neighbour (`halfeven`,
/// the default), away from zero (`halfup`) or toward zero (`halfdown`); or toward zero (`down`),
/// away from zero (`up`), toward minus infinity (`floor`), toward plus infinity (`ceiling`).
enum class rounding
{
    halfeven,
    halfup,
    halfdown,
    down,
    up,
    floor,
    ceiling
};

/// A fixed-point decimal: the digits of `number` with the lowest `pointpos / 2` (rounded down)
/// of them after the decimal point. Its value is `number`'s value (its magnitude with the sign
/// flag's sign; "-0" equals 0) divided by 10^(pointpos / 2).
///
/// The fixed-point model (SQL's `DECIMAL(w, s)`): the width w is `number.size`, all its digits;
/// the scale s is `pointpos / 2`, the digits after the point.
/// - A value never wraps: an operation whose result does not fit its width throws
///   std::overflow_error and changes nothing.
/// - `+`, `-` and `*` are exact and never overflow: `+` and `-` give the scale max(sa, sb) and
///   one integer digit more than the wider operand has; `*` gives the scale sa + sb and the width
///   wa + wb.
/// - Rounding happens only where a width and scale are named: construction, the compound
///   assignments, `/`, `rescale` and `divide`, each rounding once, by default half to even.
/// - Results of these operations have `issigned` true and `spareflag` false, and are never "-0";
///   `issigned` plays no part in fixed-point arithmetic. Making a value logs its number's three
///   construction lines (and its deletion later, as every fixedint does); a failed construction
///   throws before anything is logged. The compound assignments, comparison, hashing, text and
///   streaming make nothing and log nothing.
///
/// The fields are public, as before: `QUORVEL::fixedfloat{QUORVEL::fixedint(12), 4}` is a value
/// of width 12 with two digits after the point.
class QUORVEL_API fixedfloat
{
public:
    /// The digits, sign and width of the value.
    fixedint number;
    /// Twice the number of digits after the point (odd values round down).
    std::uint64_t pointpos;

    /// Zero, of width `width` with `scale` digits after the point. Throws
    /// std::invalid_argument when `scale` > `width`.
    fixedfloat(std::uint64_t width, std::uint64_t scale);
    /// The decimal `text`: an optional sign, digits with an optional point ("12", "12.",
    /// "12.5", ".5"), then an optional exponent ("1.5e3", "25E-4", "1e+6"); nothing else, no
    /// blanks. More fraction digits than `scale` are rounded with `mode`. Throws
    /// std::invalid_argument (naming the text) for any other text or `scale` > `width`, and
    /// std::overflow_error when the value has too many integer digits for the width.
    fixedfloat(std::uint64_t width, std::uint64_t scale, std::string_view text,
               rounding mode = rounding::halfeven);
    /// The integer `value` (any integer type but `bool`). Throws std::overflow_error when it has
    /// more than `width - scale` digits, std::invalid_argument when `scale` > `width`.
    template <typename Integer, typename = std::enable_if_t<isinteger<Integer>>>
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init): it delegates, which sets them all
    fixedfloat(std::uint64_t width, std::uint64_t scale, Integer value)
        : fixedfloat(width, scale, detail::partsof(value))
    {
    }
    template <typename Bool, std::enable_if_t<std::is_same<Bool, bool>::value, int> = 0>
    fixedfloat(std::uint64_t width, std::uint64_t scale, Bool value) = delete;  // not a number
    /// The double `value`, as its shortest text that reads back as the same double (what
    /// `std::to_chars` gives), rounded to `scale` with `mode`: `fixedfloat(10, 2, 2.675)` is 2.68
    /// and `fixedfloat(10, 2, 0.1)` is 0.10. Throws std::invalid_argument for NaN and infinities,
    /// and as the text constructor.
    fixedfloat(std::uint64_t width, std::uint64_t scale, double value,
               rounding mode = rounding::halfeven);
    ///@{
    /// The fields as they are: `fixedfloat{x, 4}` holds `x` with two digits after the point (a
    /// copy of `x`, or `x` itself when it is a temporary, moved in). Logs nothing itself.
    fixedfloat(const fixedint& number, std::uint64_t pointpos);
    fixedfloat(fixedint&& number, std::uint64_t pointpos) noexcept;
    ///@}

    /// The width: all digits, `number.size`.
    std::uint64_t width() const { return number.size; }
    /// The scale: the digits after the point, `pointpos / 2`.
    std::uint64_t scale() const { return pointpos / 2; }

    /// The integer part: a copy of `number` (through `getcopy`, so its three construction lines
    /// are logged) with the fraction digits dropped: the magnitude divided by 10^(pointpos/2)
    /// toward zero. Width, sign flag (also when the result is zero: "-0"), `issigned` and
    /// `spareflag` are those of `number`. Changes nothing in this fixedfloat.
    fixedint getintpart() const;
    /// Decimal text with the point and every fraction digit: "-19.99", "0.05", "-0.45", "19.00";
    /// without a point when `pointpos / 2` is 0. The sign flag alone decides the "-". Logs
    /// nothing.
    std::string asstring() const;
    /// Decimal text with `places` digits after the point (none, and no point, for 0), the value
    /// rounded with `mode`: 2.675 with 2 places is "2.68"; "-0" never appears. Logs nothing.
    std::string asstring(std::uint64_t places, rounding mode = rounding::halfeven) const;
    /// The double nearest to the value.
    double asdouble() const;

    ///@{
    /// Exact: `+` and `-` at the scale max(sa, sb) and one integer digit more than the wider
    /// operand, `*` at the scale sa + sb and the width wa + wb. Never throw for overflow.
    fixedfloat operator+(const fixedfloat& rhs) const;
    fixedfloat operator-(const fixedfloat& rhs) const;
    fixedfloat operator*(const fixedfloat& rhs) const;
    ///@}
    /// The negated value, of this width and scale.
    fixedfloat operator-() const;
    /// The quotient at this value's width and scale, rounded half to even (`divide` names
    /// others). Throws std::domain_error when `rhs` is zero, std::overflow_error when the
    /// quotient does not fit.
    fixedfloat operator/(const fixedfloat& rhs) const;
    ///@{
    /// In place, as `*this = (*this op rhs)` rounded half to even to this width and scale would
    /// give the value: one rounding of the exact result. Keep this value's width, scale and
    /// flags, make nothing and log nothing. Throw std::overflow_error (and `/=` std::domain_error
    /// for a zero `rhs`) leaving this value unchanged.
    fixedfloat& operator+=(const fixedfloat& rhs);
    fixedfloat& operator-=(const fixedfloat& rhs);
    fixedfloat& operator*=(const fixedfloat& rhs);
    fixedfloat& operator/=(const fixedfloat& rhs);
    ///@}

    /// This value at width `width` and scale `scale`, rounded once with `mode`. Throws
    /// std::overflow_error when it does not fit, std::invalid_argument when `scale` > `width`.
    fixedfloat rescale(std::uint64_t width, std::uint64_t scale,
                       rounding mode = rounding::halfeven) const;

    /// `parts` values of this width and scale that add up exactly to this value, differing by at
    /// most one unit of the last place, the larger ones first: 19.99 in 3 is 6.67, 6.66, 6.66;
    /// -0.05 in 3 is -0.02, -0.02, -0.01. Throws std::invalid_argument for no parts.
    std::vector<fixedfloat> allocate(std::size_t parts) const;
    /// One share per ratio, of this width and scale, adding up exactly to this value: each share
    /// is the value times its ratio over the ratios' sum, rounded toward zero to the scale, and
    /// the units left over go one each to the shares with the largest discarded remainders,
    /// earlier shares first on ties. Throws std::invalid_argument for an empty list or ratios
    /// that are all zero.
    std::vector<fixedfloat> allocate(const std::vector<std::uint64_t>& ratios) const;

    ///@{
    /// -1, 0 or 1 as this value is below, equal to or above `other`, by value whatever the widths
    /// and scales: 2.0 equals 2.00 equals the fixedint 2 and the integer 2. The operators ==,
    /// !=, <, <=, > and >= compare the same way.
    int compare(const fixedfloat& other) const;
    int compare(const fixedint& other) const;
    template <typename Integer, typename = std::enable_if_t<isinteger<Integer>>>
    int compare(Integer value) const
    {
        return compareparts(detail::partsof(value));
    }
    ///@}
    /// A hash of the value: equal for values that compare equal, whatever their widths and
    /// scales; a value with no fraction hashes as the fixedint of that value does.
    std::size_t hash() const;

private:
    friend struct detail::floataccess;
    // A value of this width and scale whose number `fill(number, context)` gives its digits and
    // sign, after the number's construction.
    fixedfloat(std::uint64_t width, std::uint64_t scale, void (*fill)(fixedint&, void*),
               void* context);
    fixedfloat(std::uint64_t width, std::uint64_t scale, const detail::integerparts& value);
    int compareparts(const detail::integerparts& value) const;
};

/// The quotient a / b at width `width` and scale `scale`, rounded once with `mode`. Throws
/// std::domain_error when `b` is zero, std::overflow_error when the quotient does not fit,
/// std::invalid_argument when `scale` > `width`.
QUORVEL_API fixedfloat divide(const fixedfloat& a, const fixedfloat& b, std::uint64_t width,
                              std::uint64_t scale, rounding mode = rounding::halfeven);

namespace detail
{
// The pairs the comparison operators of fixed-point values take: a fixedfloat with a fixedfloat,
// a fixedint or an integer, either side.
template <typename T>
constexpr bool comparablewithfloat =
    std::is_same<T, fixedfloat>::value || std::is_same<T, fixedint>::value || isinteger<T>;
template <typename A, typename B>
using floatcomparable =
    std::enable_if_t<(std::is_same<A, fixedfloat>::value && comparablewithfloat<B>) ||
                         (comparablewithfloat<A> && std::is_same<B, fixedfloat>::value &&
                          !std::is_same<A, fixedfloat>::value),
                     int>;

template <typename B>
int floatthreeway(const fixedfloat& a, const B& b)
{
    return a.compare(b);
}
template <typename A, typename = std::enable_if_t<!std::is_same<A, fixedfloat>::value>>
int floatthreeway(const A& a, const fixedfloat& b)
{
    return -b.compare(a);
}
}  // namespace detail

///@{
/// Comparison by value, of fixed-point values with one another, with fixedint and with integers.
template <typename L, typename R, detail::floatcomparable<L, R> = 0>
bool operator==(const L& a, const R& b)
{
    return detail::floatthreeway(a, b) == 0;
}
template <typename L, typename R, detail::floatcomparable<L, R> = 0>
bool operator!=(const L& a, const R& b)
{
    return detail::floatthreeway(a, b) != 0;
}
template <typename L, typename R, detail::floatcomparable<L, R> = 0>
bool operator<(const L& a, const R& b)
{
    return detail::floatthreeway(a, b) < 0;
}
template <typename L, typename R, detail::floatcomparable<L, R> = 0>
bool operator<=(const L& a, const R& b)
{
    return detail::floatthreeway(a, b) <= 0;
}
template <typename L, typename R, detail::floatcomparable<L, R> = 0>
bool operator>(const L& a, const R& b)
{
    return detail::floatthreeway(a, b) > 0;
}
template <typename L, typename R, detail::floatcomparable<L, R> = 0>
bool operator>=(const L& a, const R& b)
{
    return detail::floatthreeway(a, b) >= 0;
}
///@}

/// Writes `x.asstring()`, with "+" in front of a value that is not negative under
/// `std::showpos`, padded to the stream's width with its fill character: on the left
/// (`std::right`, the default), on the right (`std::left`), or after the sign (`std::internal`).
QUORVEL_API std::ostream& operator<<(std::ostream& out, const fixedfloat& x);
/// Reads one value into `x` in the text form of the text constructor, keeping its width and
/// scale and rounding half to even: skips leading blanks (unless `std::noskipws`), takes the
/// characters of the number and stops before the first other character. Text that is not a
/// number (a number running into a letter or a second point included) or a value too wide for
/// `x` sets failbit and leaves `x` unchanged.
QUORVEL_API std::istream& operator>>(std::istream& in, fixedfloat& x);
}  // namespace QUORVEL

namespace std
{
/// Hashing by value: equal for values that compare equal, whatever their widths and scales.
template <>
struct hash<QUORVEL::fixedfloat>
{
    /// `x.hash()`.
    std::size_t operator()(const QUORVEL::fixedfloat& x) const { return x.hash(); }
};
}  // namespace std
