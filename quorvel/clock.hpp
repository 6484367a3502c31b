// Internal: the calendar time text of the log lines. Not installed.
#pragma once

#include <cstdint>
#include <ctime>

namespace QUORVEL
{
namespace detail
{
/// Length of the time text: "Www Mmm dd hh:mm:ss yyyy".
constexpr int timetextlength = 24;
/// What a log line carries when the platform cannot render the time.
constexpr char timeplaceholder[] = "??? ??? ?? ??:??:?? ????";

/// The current calendar time in seconds, from the platform or from the clock a test installed.
std::int64_t now();
/// A clock for tests: `now()` returns what `clock` returns until it is reset with null. Returns
/// the clock it replaces (null for the platform's).
using clockfunction = std::int64_t (*)();
clockfunction setclock(clockfunction clock);

/// The local broken-down time of `seconds`; false when the platform cannot give it.
bool localcalendar(std::int64_t seconds, std::tm& out);
/// The calendar text of `t` in the platform's standard form ("Wed Dec  9 05:56:17 2026"), or the
/// placeholder when `ok` is false or the year does not have four digits.
void formattime(const std::tm& t, bool ok, char (&out)[timetextlength]);
/// `localcalendar` and `formattime` together: the local time text of `seconds`.
void rendertime(std::int64_t seconds, char (&out)[timetextlength]);
/// Moves the broken-down time `t` by `seconds`, keeping its offset from UTC (no time-zone rules
/// are consulted, so it takes no lock and is safe in a signal handler).
void shiftcalendar(std::tm& t, std::int64_t seconds);
}  // namespace detail
}  // namespace QUORVEL
