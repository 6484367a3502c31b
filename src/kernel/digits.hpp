// Internal: digit strings (one decimal digit per byte, least significant first) worked on eight
// digits at a time: validation, addition, subtraction, comparison, and conversion from and to
// decimal text (into limbs and back: kernel/limbdigits.hpp). Not installed.
#pragma once

#include "kernel/limb.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// True when every one of the `len` digits is in 0 to 9.
bool alldecimal(const std::int8_t* d, std::size_t len);
/// The same for two strings of `len` digits, in one pass.
bool alldecimal(const std::int8_t* a, const std::int8_t* b, std::size_t len);
/// The number of the first `len` digits up to the most significant non-zero one.
std::size_t significant(const std::int8_t* d, std::size_t len);

/// out = a + b modulo 10^n, for digits 0 to 9; returns the carry out. `out` may be `a` or `b`.
bool adddigits(const std::int8_t* a, const std::int8_t* b, std::int8_t* out, std::size_t n);
/// out = a + b modulo 10^n, in the same pass checking that every digit of a and b is in 0 to 9;
/// false where one is not, with out then unspecified. `out` may be `a` or `b`.
bool addchecked(const std::int8_t* a, const std::int8_t* b, std::int8_t* out, std::size_t n);
/// out = a - b modulo 10^n, for digits 0 to 9; returns the borrow out (true when b > a).
/// `out` may be `a` or `b`.
bool subtractdigits(const std::int8_t* a, const std::int8_t* b, std::int8_t* out, std::size_t n);
/// Compares the digit strings a (`la` digits) and b (`lb` digits) by value: -1, 0 or 1.
int comparedigits(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb);

/// The value of the n <= 38 digits at d; false, with v unset, where a digit is outside 0 to 9.
bool smallvalue(const std::int8_t* d, std::size_t n, u128& v);
/// Writes the n <= 38 digits of v < 10^n at out.
void smalldigits(u128 v, std::int8_t* out, std::size_t n);

/// How `addsigned` ended.
enum class addition
{
    done,
    baddigit,  // a digit of either string was outside 0 to 9: nothing was changed
    overflow   // the magnitude of the result needs n + 1 digits: nothing was changed
};
/// x = x + y in place for two n-digit magnitudes with the sign flags `xminus` and `yminus`
/// ("-0" allowed): x's digits become the result's magnitude and `minus` its sign flag (false for
/// zero). Where a digit is outside 0 to 9, or the result does not fit, x is left as it was. x and
/// y do not overlap.
addition addsigned(std::int8_t* x, bool xminus, const std::int8_t* y, bool yminus, std::size_t n,
                   bool& minus);

/// The position of the first character of text[0, len) that is not a decimal digit, or `len`.
std::size_t firstnondigit(const char* text, std::size_t len);
/// Writes the digits of the decimal text[0, len) (only '0' to '9') to out, least significant
/// first: out[i] = text[len - 1 - i].
void digitsfromtext(const char* text, std::size_t len, std::int8_t* out);
/// Writes digits d[0, n) (0 to 9) as text, most significant first: out[i] = '0' + d[n - 1 - i].
void textfromdigits(const std::int8_t* d, std::size_t n, char* out);
}  // namespace detail
}  // namespace QUORVEL
