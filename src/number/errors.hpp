// Internal: the errors the number operations throw, each message in one place. Not installed.
#pragma once

#include <cstdint>
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
}  // namespace detail
}  // namespace QUORVEL
