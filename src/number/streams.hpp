// Internal: numbers through streams, as `<<` and `>>` of both number types do it. Not installed.
#pragma once

#include <istream>
#include <ostream>
#include <string>

namespace QUORVEL
{
namespace detail
{
/// Writes the text of a number: "+" in front of one that is not negative under `std::showpos`,
/// padded to the stream's width with its fill character, on the left (`std::right`, the
/// default), on the right (`std::left`) or after the sign (`std::internal`); resets the width.
std::ostream& writenumber(std::ostream& out, std::string text);
/// Reads the characters of a number from `in` into `token`: skips leading blanks (unless
/// `std::noskipws`), then takes a sign and digits, and with `decimal` a point, more digits and an
/// exponent. With `strict`, a number that runs into a character that cannot end it (a letter, a
/// digit after an exponent's end, a point, '_') is refused. Returns the state to set: eofbit at
/// the end of the input, failbit when nothing was read or the number was refused.
std::ios_base::iostate readnumbertext(std::istream& in, std::string& token, bool decimal,
                                      bool strict);
}  // namespace detail
}  // namespace QUORVEL
