/// @file
/// `QUORVEL::fixedint` through character buffers, as `std::to_chars` and `std::from_chars` do it
/// for built-in integers: no allocation, no exception, no locale.
#pragma once

#include <quorvel/export.hpp>
#include <quorvel/fixedint.hpp>

#include <charconv>

namespace QUORVEL
{
/// Writes the value of `x` into [first, last): '-' for a negative value, then the digits of the
/// magnitude without leading zeros ("0" for zero; "-0" writes "0", and so does the width-0 zero).
/// Returns {one past the last character written, std::errc{}}, or {last,
/// std::errc::value_too_large} when the text does not fit, with [first, last) left in an
/// unspecified state.
QUORVEL_API std::to_chars_result tochars(char* first, char* last, const fixedint& x) noexcept;
/// Reads an optional '-' and the decimal digits that follow from [first, last) into `x`, keeping
/// its width ('+' and blanks are not taken). With `issigned` true the sign flag becomes whether the
/// value is negative ("-0" reads as 0); otherwise only the magnitude is stored. Returns {one past
/// the last digit, std::errc{}}; {first, std::errc::invalid_argument} when no digit follows;
/// {one past the last digit, std::errc::result_out_of_range} when the value has more digits than
/// the width (a zero counts one, so width 0 takes none). On failure `x` is unchanged. A store a
/// caller made shorter than the width must grow; where memory for that is lacking the result is
/// {first, std::errc::not_enough_memory}.
QUORVEL_API std::from_chars_result fromchars(const char* first, const char* last,
                                             fixedint& x) noexcept;
}  // namespace QUORVEL
