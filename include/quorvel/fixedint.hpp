/// @file
/// `QUORVEL::fixedint`: a signed decimal integer of fixed width, its arithmetic (with other numbers
/// and with built-in integers), conversions, comparison, hashing and streaming. The
/// number-theoretic functions are in `<quorvel/numbertheory.hpp>`, the character conversions in
/// `<quorvel/charconv.hpp>`.
#pragma once

#include <quorvel/export.hpp>

#include <cstddef>
#include <cstdint>
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

#if defined(__SIZEOF_INT128__) || defined(QUORVEL_DOXYGEN)
/// Defined where the compiler has 128-bit integers: then `int128` and `uint128` exist.
#define QUORVEL_HAS_INT128 1  // NOLINT(cppcoreguidelines-macro-usage): `#if` tests it
///@{
/// The compiler's 128-bit integers, where it has them (g++ and clang on 64-bit targets);
/// `QUORVEL_HAS_INT128` is defined then. Numbers take values from them and give values as them.
__extension__ typedef __int128 int128;
__extension__ typedef unsigned __int128 uint128;
///@}
#endif

namespace detail
{
// What the library knows of an integer type (std::is_integral leaves out the 128-bit types in
// strict standard modes).
template <typename T>
struct integertraits
{
    static constexpr bool integer = std::is_integral<T>::value && !std::is_same<T, bool>::value;
    static constexpr bool issigned = std::is_signed<T>::value;
};
#if defined(QUORVEL_HAS_INT128)
template <>
struct integertraits<int128>
{
    static constexpr bool integer = true;
    static constexpr bool issigned = true;
};
template <>
struct integertraits<uint128>
{
    static constexpr bool integer = true;
    static constexpr bool issigned = false;
};
#endif

// An integer's sign and magnitude (high * 2^64 + low), as the library's functions take it.
struct integerparts
{
    bool minus;
    std::uint64_t high, low;
};

template <typename Integer>
constexpr integerparts partsof(Integer value)
{
    if constexpr (sizeof(Integer) > sizeof(std::uint64_t))
    {
#if defined(QUORVEL_HAS_INT128)
        const bool minus = integertraits<Integer>::issigned && value < 0;
        const uint128 magnitude =
            minus ? uint128{0} - static_cast<uint128>(value) : static_cast<uint128>(value);
        return {minus, static_cast<std::uint64_t>(magnitude >> 64),
                static_cast<std::uint64_t>(magnitude)};
#endif
    }
    else
    {
        const bool minus = integertraits<Integer>::issigned && value < 0;
        const auto wide = static_cast<std::uint64_t>(value);
        return {minus, 0, minus ? 0 - wide : wide};
    }
}
}  // namespace detail

/// True for the integer types a number takes a value from: every integer type but `bool`, with
/// `int128` and `uint128` where the compiler has them.
template <typename T>
constexpr bool isinteger = detail::integertraits<std::remove_cv_t<T>>::integer;

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
/// - A built-in integer operand (either side of `+ - * / %`, right of the compound assignments)
///   takes part with its exact value: `x + 1000` at width 3 is x's value plus 1000, reduced as
///   above. The result has the number's width; the number's `issigned` decides, whichever side it
///   is on, and when it is false the integer counts as its value modulo 10^width (`x + -1` is
///   `x - 1`, and `x / -1` divides by 10^width - 1, as unsigned built-in integers do). With an
///   integer operand `*` and `*=` follow this model too (a zero product is "0").
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
    /// A number of width `width` holding `value`, a double that holds an integer (every double of
    /// 2^53 or more does): its exact value, as the double assignment stores it. Logs the size
    /// constructor's three lines; throws as that constructor and as the double assignment (the
    /// number made is then deleted, which logs).
    fixedint(std::uint64_t width, double value);
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
    /// The same for every other integer type, 128-bit ones included: the value is stored exactly
    /// (`x = 18446744073709551615ULL` stores that value).
    template <typename Integer, typename = std::enable_if_t<isinteger<Integer>>>
    fixedint& operator=(Integer value)
    {
        assignparts(detail::partsof(value));
        return *this;
    }
    /// Assigns the exact value of a double that holds an integer, keeping the width, with the sign
    /// rule of the integer assignment (-0.0 stores 0); logs nothing. Throws std::invalid_argument
    /// for a fraction, NaN or an infinity, and std::out_of_range("Input int bigger than size!")
    /// when the value has more digits than the width; the number is then unchanged.
    fixedint& operator=(double value);
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
    ///@{
    /// The value as a built-in integer. Throw std::out_of_range when it does not fit ("-0" is 0).
    std::int64_t asint64() const;
    std::uint64_t asuint64() const;
#if defined(QUORVEL_HAS_INT128)
    int128 asint128() const;
    uint128 asuint128() const;
#endif
    ///@}
    /// The double nearest to the value (ties to even); infinity beyond the largest double.
    double asdouble() const;
    /// Whether the value is zero ("-0" is). Logs nothing.
    bool iszero() const;
    /// The number of significant digits of the magnitude: 0 for zero, 3 for -123. Logs nothing and
    /// allocates nothing.
    std::uint64_t digitcount() const;
    /// The value modulo 10^width as a non-negative number: the magnitude, or 10^width less it for
    /// a negative value (-1 at width 3 gives 999). A result as the model says (three lines).
    fixedint residue() const;
    ///@{
    /// In place: the magnitude times 10^k modulo 10^width (`shiftleft`), or divided by 10^k and
    /// rounded toward zero (`shiftright`); the sign stays unless the value becomes zero. Logs
    /// nothing.
    fixedint& shiftleft(std::uint64_t k);
    fixedint& shiftright(std::uint64_t k);
    ///@}
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
    ///@{
    /// Adds or subtracts one in place (as `+= 1` and `-= 1`). The postfix forms return a silent
    /// copy of the number as it was.
    fixedint& operator++();
    fixedint& operator--();
    fixedint operator++(int);
    fixedint operator--(int);
    ///@}

    /// -1, 0 or 1 as this number's value is below, equal to or above that of `other`, whatever
    /// the widths ("-0" equals 0). The operators ==, !=, <, <=, > and >= compare by value too.
    int compare(const fixedint& other) const;
    /// The same against any integer value.
    template <typename Integer, typename = std::enable_if_t<isinteger<Integer>>>
    int compare(Integer value) const
    {
        return compareparts(detail::partsof(value));
    }
    /// A hash of the value: equal for numbers that compare equal, whatever their widths.
    std::size_t hash() const;

private:
    void assignparts(const detail::integerparts& value);
    int compareparts(const detail::integerparts& value) const;
};

/// The quotient and the remainder of `a / b` at once, as `a / b` and `a % b` give them (one
/// division instead of two). Logs the two results' construction lines; throws as `/` does.
QUORVEL_API std::pair<fixedint, fixedint> divmod(const fixedint& a, const fixedint& b);

/// base^exponent modulo 10^width, with the width of `base` (see the model of `fixedint`): the
/// result is negative when `base` is and `exponent` is odd, and pow(x, 0) is 1. Logs the result's
/// three construction lines only. With `base.issigned` false the result is non-negative.
QUORVEL_API fixedint pow(const fixedint& base, std::uint64_t exponent);

/// The magnitude of `x`, as the model says (a result of x's width, three lines; never "-0").
QUORVEL_API fixedint abs(const fixedint& x);

namespace detail
{
enum class integerop : unsigned char
{
    add,
    subtract,
    multiply,
    divide,
    remainder
};
// x op value, or value op x where `integerleft`; and x op= value.
QUORVEL_API fixedint withinteger(const fixedint& x, integerop op, const integerparts& value,
                                 bool integerleft);
QUORVEL_API fixedint& withintegerinplace(fixedint& x, integerop op, const integerparts& value);

// The pairs the mixed operators take: a number and an integer, either side.
template <typename A, typename B>
using mixed = std::enable_if_t<(std::is_same<A, fixedint>::value && isinteger<B>) ||
                                   (isinteger<A> && std::is_same<B, fixedint>::value),
                               int>;
template <typename A, typename B>
fixedint mixedop(const A& a, const B& b, integerop op)
{
    if constexpr (std::is_same<A, fixedint>::value)
        return withinteger(a, op, partsof(b), false);
    else
        return withinteger(b, op, partsof(a), true);
}
}  // namespace detail

///@{
/// A number and a built-in integer, either side, as the model of `fixedint` says: the integer
/// takes part with its exact value and the result has the number's width. `/` and `%` throw
/// std::domain_error("fixedint: division by zero") for a zero divisor.
template <typename A, typename B, detail::mixed<A, B> = 0>
fixedint operator+(const A& a, const B& b)
{
    return detail::mixedop(a, b, detail::integerop::add);
}
template <typename A, typename B, detail::mixed<A, B> = 0>
fixedint operator-(const A& a, const B& b)
{
    return detail::mixedop(a, b, detail::integerop::subtract);
}
template <typename A, typename B, detail::mixed<A, B> = 0>
fixedint operator*(const A& a, const B& b)
{
    return detail::mixedop(a, b, detail::integerop::multiply);
}
template <typename A, typename B, detail::mixed<A, B> = 0>
fixedint operator/(const A& a, const B& b)
{
    return detail::mixedop(a, b, detail::integerop::divide);
}
template <typename A, typename B, detail::mixed<A, B> = 0>
fixedint operator%(const A& a, const B& b)
{
    return detail::mixedop(a, b, detail::integerop::remainder);
}
///@}

///@{
/// A built-in integer into a number in place, keeping its width and flags and logging nothing.
/// One that throws leaves the number unchanged.
template <typename Integer, std::enable_if_t<isinteger<Integer>, int> = 0>
fixedint& operator+=(fixedint& x, Integer value)
{
    return detail::withintegerinplace(x, detail::integerop::add, detail::partsof(value));
}
template <typename Integer, std::enable_if_t<isinteger<Integer>, int> = 0>
fixedint& operator-=(fixedint& x, Integer value)
{
    return detail::withintegerinplace(x, detail::integerop::subtract, detail::partsof(value));
}
template <typename Integer, std::enable_if_t<isinteger<Integer>, int> = 0>
fixedint& operator*=(fixedint& x, Integer value)
{
    return detail::withintegerinplace(x, detail::integerop::multiply, detail::partsof(value));
}
template <typename Integer, std::enable_if_t<isinteger<Integer>, int> = 0>
fixedint& operator/=(fixedint& x, Integer value)
{
    return detail::withintegerinplace(x, detail::integerop::divide, detail::partsof(value));
}
template <typename Integer, std::enable_if_t<isinteger<Integer>, int> = 0>
fixedint& operator%=(fixedint& x, Integer value)
{
    return detail::withintegerinplace(x, detail::integerop::remainder, detail::partsof(value));
}
///@}

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
/// character. Text that is not a number, digits that run into a character no number ends with (a
/// letter, a point or '_': "12a" is not 12), or a value wider than `x` set failbit and leave `x`
/// unchanged, as the standard streams do.
QUORVEL_API std::istream& operator>>(std::istream& in, fixedint& x);
}  // namespace QUORVEL

namespace std
{
/// Hashing by value: equal for numbers that compare equal, whatever their widths. (`std::hash` is
/// declared by `<string>`.)
template <>
struct hash<QUORVEL::fixedint>
{
    /// `x.hash()`.
    std::size_t operator()(const QUORVEL::fixedint& x) const { return x.hash(); }
};
}  // namespace std
