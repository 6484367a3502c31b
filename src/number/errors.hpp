// Internal: the errors the number operations throw, each message in one place. Not installed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace QUORVEL
{
namespace detail
{
/// std::length_error("Int sizes are not equal!"): operands of different widths.
[[noreturn]] void throwunequalwidths();
/// std::out_of_range("Input int bigger than size!"): a value with more digits than the width.
[[noreturn]] void throwtoowide();
/// std::out_of_range("Report this to dev: Out of range while running multiplication! Index: N"):
/// a product whose digits would reach past its double-width scratch result.
[[noreturn]] void throwproductindex(std::uint64_t index);
/// std::domain_error("fixedint: division by zero").
[[noreturn]] void throwdivisionbyzero();
/// std::invalid_argument naming the text (its first 40 characters): not a number.
[[noreturn]] void throwbadtext(std::string_view what, std::string_view text);
/// std::out_of_range("fixedint: value does not fit in <type>").
[[noreturn]] void throwdoesnotfit(const char* type);
/// std::invalid_argument: a double that is NaN or infinite, or that has a fraction (its text).
[[noreturn]] void throwdoublenotfinite();
[[noreturn]] void throwdoublefraction(const std::string& text);
/// std::domain_error: a root of a negative number, the 0th root.
[[noreturn]] void thrownegativeroot();
[[noreturn]] void throwzerothroot();
/// std::domain_error: a modulus that is not positive, an exponent that is negative.
[[noreturn]] void throwmodulusnotpositive();
[[noreturn]] void throwexponentnegative();
/// std::domain_error: no inverse modulo 10^width, or modulo the modulus.
[[noreturn]] void thrownoinverse(bool poweroften);
}  // namespace detail
}  // namespace QUORVEL
