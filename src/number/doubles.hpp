// Internal: doubles and decimal digits, both ways, for both number types. Not installed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace QUORVEL
{
namespace detail
{
/// The shortest text that reads back as `value` (what std::to_chars gives).
std::string shortest(double value);
/// The double nearest to the digits d[0, length) (most significant last) times 10^-scale.
double nearest(bool minus, const std::int8_t* d, std::size_t length, std::uint64_t scale);
/// The exact decimal digits of the magnitude of a double that holds an integer, least
/// significant first (none for zero).
std::vector<std::int8_t> integerdigitsof(double value);
}  // namespace detail
}  // namespace QUORVEL
