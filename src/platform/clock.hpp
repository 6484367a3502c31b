// Internal: the platform's calendar time. Not installed.
#pragma once

#include <cstdint>
#include <ctime>

namespace QUORVEL
{
namespace detail
{
/// The current calendar time in seconds since 1970.
std::int64_t systemseconds();
/// The local broken-down time of `seconds`; false when the platform cannot give it.
bool localcalendar(std::int64_t seconds, std::tm& out);
}  // namespace detail
}  // namespace QUORVEL
