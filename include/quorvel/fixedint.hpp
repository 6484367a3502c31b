/// @file
/// `QUORVEL::fixedint`: a signed decimal integer of fixed width, its arithmetic, comparison,
/// hashing and streaming.
#pragma once

#include <quorvel/export.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace QUORVEL
{
class fixedfloat;

/// True for the integer types a number takes a value from: every integer type but `bool`.
template <typename T>
constexpr bool isinteger = std::is_integral<T>::value && !std::is_same<T, bool>::value;

/// A signed decimal integer of fixed width.
///
/// `digits` holds one decimal digit (the value 0 to 9, not a character) per element, least
/// significant first; its length equals `size` after every completed operation. The sign flag
/// `negative` is independent of the digits, so a zero with the flag set ("-0") is a valid state.
/// The fields are public; an object whose fields a caller has made inconsistent (a store length
/// other than `size`, digits outside 0 to 9) is never read or written outside its store: the
/// operations work on what is there (digits read modulo 10), or throw a standard exception.
///
/// Arithmetic beyond the product (`+`, `-`, `/`, `%`, unary `-`, the compound assignments and
/// `pow`) follows one model:
/// - A number's value is its magnitude with the sign flag's sign; "-0" equals 0.
/// - Operands have equal widths (else std::length_error "Int sizes are not equal!", before anything
///   is made or logged). The exact result is computed; it keeps its sign and its magnitude modulo
///   10^width. A zero magnitude is "0", never "-0".
/// - When the left operand's `issigned` is false, the operation works on magnitudes modulo
///   10^width and the result is non-negative (5 - 7 at width 3 is 998).
/// - Results have `issigned` true and `spareflag` false, and are made through the size
///   constructor (its three lines); they log their deletion later. At width 0 every one of these
///   operations gives the width-0 zero.
/// - Compound assignments change their number in place: they make no number and log nothing; one
///   that throws leaves its number unchanged.
/// Parsing, comparison, hashing and streaming log nothing.
class QUORVEL_API fixedint
{
public:
    bool negative;       ///< Sign flag: true when the value is negative.
    std::uint64_t size;  ///< The width: the number of decimal digit positions.
    bool issigned;       ///< When false, assignment and multiplication leave the sign alone.
    bool spareflag;      ///< Travels with every copy; nothing consults it.
    std::vector<std::int8_t> digits;  ///< The digits, least significant first.

    /// Makes a zero of width `width` (`negative` false, `issigned` true, `spareflag` false).
    /// Starts the module on the first call in the process (see `setup`), then logs
    /// "New fixedint object!", "Resizing Digits to: <width>" and "Done.".
    /// Throws std::length_error or std::bad_alloc when the store cannot hold `width` digits; the
    /// lines already logged stay, and no "Done." follows them.
    explicit fixedint(std::uint64_t width);
    /// A number of width `width` holding `value`, for every integer type (`fixedint(20, 0)` is
    /// the zero of width 20). Logs the size constructor's three lines; throws as that
    /// constructor and as the integer assignment (the number made is then deleted, which logs).
    template <typename Integer, typename = std::enable_if_t<isinteger<Integer>>>
    fixedint(std::uint64_t width, Integer value) : fixedint(width)
    {
        *this = value;
    }
    /// A number of width `width` holding the decimal `text`, as the text assignment reads it.
    /// Logs the size constructor's three lines; throws as that constructor and as the text
    /// assignment (the number made is then deleted, which logs).
    fixedint(std::uint64_t width, std::string_view text);
    template <typename Bool, std::enable_if_t<std::is_same<Bool, bool>::value, int> = 0>
    fixedint(std::uint64_t width, Bool value) = delete;  // a bool is not a number
    /// Silent copy: logs nothing and does not start the module.
    fixedint(const fixedint& other);
    /// Silent copy: the target takes the source's width, digits and flags; logs nothing.
    /// On failure (out of memory) the target is unchanged.
    fixedint& operator=(const fixedint& other);
    ///@{
    /// Silent move: takes `other`'s width, digits and flags and leaves `other` the zero of width 0
    /// (`issigned` true, `spareflag` false), which still logs its deletion. Containers of numbers
    /// move them when they grow.
    fixedint(fixedint&& other) noexcept;
    fixedint& operator=(fixedint&& other) noexcept;
    ///@}
    /// Logs "Deleted fixedint object.". A destructor cannot throw: when memory is exhausted its
    /// line goes into a small reserve kept for such lines (and for the report's), so it is not
    /// lost; only when that reserve is full too does the process end through `logdumper`.
    ~fixedint();

    /// Changes the width to `width`: growing adds zero digits at the top, shrinking keeps the
    /// value modulo 10^width. Flags are untouched. Logs "Resize requested in fixedint.",
    /// "Resizing Digits to: <width>" and "Done.". When the store cannot hold `width` digits
    /// (std::length_error or std::bad_alloc) the object keeps its old width and digits and the
    /// first two lines stay in the log without a "Done.".
    void resize(std::uint64_t width);
    /// A copy made through the size constructor: logs that constructor's three lines.
    fixedint getcopy() const;
    /// Drops the units digit (the magnitude is divided by 10, toward zero) and puts 0 at the top.
    /// The sign flag stays, also when the magnitude becomes zero. Does nothing at width 0.
    void wholeshiftr();
    /// The digits without their most significant zeros (empty for zero). Logs nothing.
    std::vector<std::int8_t> getshorteneddigits() const;

    /// Assigns `value`, keeping the width. When `issigned` is true the sign flag becomes
    /// `value < 0`; otherwise only the magnitude is stored. Logs nothing.
    /// Throws std::out_of_range("Input int bigger than size!") when the magnitude has more
    /// decimal digits than the width (every value at width 0); the number is then unchanged.
    fixedint& operator=(std::int64_t value);
    /// The same for every other integer type: the value is stored exactly
    /// (`x = 18446744073709551615ULL` stores that value).
    template <typename Integer, typename = std::enable_if_t<isinteger<Integer>>>
    fixedint& operator=(Integer value)
    {
        static_assert(sizeof(Integer) <= sizeof(std::uint64_t), "integers up to 64 bits");
        if constexpr (std::is_signed<Integer>::value)
            assignmagnitude(value < 0, value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                                 : static_cast<std::uint64_t>(value));
        else
            assignmagnitude(false, static_cast<std::uint64_t>(value));
        return *this;
    }
    template <typename Bool, std::enable_if_t<std::is_same<Bool, bool>::value, int> = 0>
    fixedint& operator=(Bool value) = delete;  // a bool is not a number
    /// Assigns the decimal `text`: an optional '+' or '-', then one or more digits '0' to '9',
    /// nothing else (no blanks). The sign follows the integer assignment's rule: with `issigned`
    /// true the sign flag becomes whether the text starts with '-' (so "-0" gives "-0" and
    /// `asstring` text reads back as it was); otherwise only the magnitude is stored. Keeps the
    /// width; logs nothing. Throws std::invalid_argument for any other text and
    /// std::out_of_range("Input int bigger than size!") when the value has more digits than the
    /// width (leading zeros do not count; a zero counts one digit, so width 0 takes no text);
    /// the number is then unchanged.
    fixedint& operator=(std::string_view text);
    /// The value as a 64-bit integer. Throws std::out_of_range when it does not fit.
    std::int64_t asint64() const;
    /// Decimal text: "-" when `negative` is set (also for zero), then the magnitude without
    /// leading zeros ("0" for zero). Width 0 renders as "" (or "-"). Logs nothing.
    std::string asstring() const;
    /// Takes the integer part of `value` (see `fixedfloat::getintpart`): this number gets its
    /// width, sign, flags and digits. Logs the three lines of `getintpart`, then
    /// "Deleted fixedint object." for the temporary. `value` may hold this number itself.
    fixedint& operator=(const fixedfloat& value);

    /// The product modulo 10^size, with the width of the operands. When this number's `issigned`
    /// is true the result is negative exactly when the operands' sign flags differ (a zero product
    /// can be "-0"); otherwise it is non-negative. The result has `issigned` true, `spareflag`
    /// false. `rhs` is taken by value: a named operand is copied silently.
    /// Logs the construction of a double-width scratch result and its resize back to the width.
    /// Throws std::length_error("Int sizes are not equal!") when the widths differ (before
    /// anything is logged), std::out_of_range("Input int bigger than size!") at width 0, and
    /// std::out_of_range("Report this to dev: Out of range while running multiplication! Index: N")
    /// when the operands' significant digits reach past the double-width scratch result (only
    /// possible when a caller made a digit store longer than `size`). After the scratch result was
    /// made, a failure destroys it (logging its deletion) before the exception passes on.
    fixedint operator*(fixedint rhs) const;

    ///@{
    /// Sum and difference (see the model above). Logs the result's three construction lines.
    fixedint operator+(const fixedint& rhs) const;
    fixedint operator-(const fixedint& rhs) const;
    ///@}
    ///@{
    /// Quotient rounded toward zero, and the remainder, which takes the dividend's sign (as `/`
    /// and `%` on built-in integers). Throw std::domain_error("fixedint: division by zero") when
    /// `rhs` is zero (before anything is made or logged); at width 0 they give the width-0 zero.
    /// Logs the result's three construction lines.
    fixedint operator/(const fixedint& rhs) const;
    fixedint operator%(const fixedint& rhs) const;
    ///@}
    /// The negated value; with `issigned` false, 10^width minus the magnitude (modulo 10^width).
    /// Logs the result's three construction lines.
    fixedint operator-() const;
    ///@{
    /// In place, as `*this = *this op rhs` would give the value, keeping this number's width and
    /// flags and logging nothing. `*=` keeps the product's sign rule (the sign flags alone decide,
    /// so a zero can be "-0"), but at width 0 gives the width-0 zero. One that throws leaves this
    /// number unchanged.
    fixedint& operator+=(const fixedint& rhs);
    fixedint& operator-=(const fixedint& rhs);
    fixedint& operator*=(const fixedint& rhs);
    fixedint& operator/=(const fixedint& rhs);
    fixedint& operator%=(const fixedint& rhs);
    ///@}

    /// -1, 0 or 1 as this number's value is below, equal to or above that of `other`, whatever
    /// the widths ("-0" equals 0). The operators ==, !=, <, <=, > and >= compare by value too.
    int compare(const fixedint& other) const;
    /// The same against any integer value.
    template <typename Integer, typename = std::enable_if_t<isinteger<Integer>>>
    int compare(Integer value) const
    {
        if constexpr (std::is_signed<Integer>::value)
            return comparemagnitude(value < 0, value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                                         : static_cast<std::uint64_t>(value));
        else
            return comparemagnitude(false, static_cast<std::uint64_t>(value));
    }
    /// A hash of the value: equal for numbers that compare equal, whatever their widths.
    std::size_t hash() const;

private:
    void assignmagnitude(bool minus, std::uint64_t magnitude);
    int comparemagnitude(bool minus, std::uint64_t magnitude) const;
};

/// The quotient and the remainder of `a / b` at once, as `a / b` and `a % b` give them (one
/// division instead of two). Logs the two results' construction lines; throws as `/` does.
QUORVEL_API std::pair<fixedint, fixedint> divmod(const fixedint& a, const fixedint& b);

/// base^exponent modulo 10^width, with the width of `base` (see the model of `fixedint`): the
/// result is negative when `base` is and `exponent` is odd, and pow(x, 0) is 1. Logs the result's
/// three construction lines only. With `base.issigned` false the result is non-negative.
QUORVEL_API fixedint pow(const fixedint& base, std::uint64_t exponent);

namespace detail
{
// The pairs the comparison operators take: two numbers, or a number and an integer.
template <typename A, typename B>
using comparable = std::enable_if_t<(std::is_same<A, fixedint>::value &&
                                     (std::is_same<B, fixedint>::value || isinteger<B>)) ||
                                        (isinteger<A> && std::is_same<B, fixedint>::value),
                                    int>;

template <typename B>
int threeway(const fixedint& a, const B& b)
{
    return a.compare(b);
}
template <typename A, typename = std::enable_if_t<isinteger<A>>>
int threeway(const A& a, const fixedint& b)
{
    return -b.compare(a);
}
}  // namespace detail

///@{
/// Comparison by value, between numbers of any widths and with integers of any type, either side.
template <typename A, typename B, detail::comparable<A, B> = 0>
bool operator==(const A& a, const B& b)
{
    return detail::threeway(a, b) == 0;
}
template <typename A, typename B, detail::comparable<A, B> = 0>
bool operator!=(const A& a, const B& b)
{
    return detail::threeway(a, b) != 0;
}
template <typename A, typename B, detail::comparable<A, B> = 0>
bool operator<(const A& a, const B& b)
{
    return detail::threeway(a, b) < 0;
}
template <typename A, typename B, detail::comparable<A, B> = 0>
bool operator<=(const A& a, const B& b)
{
    return detail::threeway(a, b) <= 0;
}
template <typename A, typename B, detail::comparable<A, B> = 0>
bool operator>(const A& a, const B& b)
{
    return detail::threeway(a, b) > 0;
}
template <typename A, typename B, detail::comparable<A, B> = 0>
bool operator>=(const A& a, const B& b)
{
    return detail::threeway(a, b) >= 0;
}
///@}

/// Writes `x.asstring()`, padded to the stream's width with its fill character: on the left
/// (`std::right`, the default), on the right (`std::left`), or after the sign (`std::internal`).
QUORVEL_API std::ostream& operator<<(std::ostream& out, const fixedint& x);
/// Reads one number into `x`, keeping its width: skips leading blanks (unless `std::noskipws`),
/// then takes an optional sign and the digits that follow, stopping before the first other
/// character. Text that is not a number, or a value wider than `x`, sets failbit and leaves `x`
/// unchanged, as the standard streams do.
QUORVEL_API std::istream& operator>>(std::istream& in, fixedint& x);
}  // namespace QUORVEL

namespace std
{
/// Hashing by value: equal for numbers that compare equal, whatever their widths.
template <>
struct hash<QUORVEL::fixedint>
{
    /// `x.hash()`.
    std::size_t operator()(const QUORVEL::fixedint& x) const { return x.hash(); }
};
}  // namespace std
