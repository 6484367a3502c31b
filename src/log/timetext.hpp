// Internal: the time text of the log lines and the clock behind it. Not installed.
#pragma once

#include "log/records.hpp"

#include <atomic>
#include <cstdint>
#include <ctime>

namespace QUORVEL
{
namespace detail
{
/// The clock of the log: the platform's unless `clockoverride` holds one (tests set it to see
/// the log across changes of the second, of the day and of daylight saving time).
using clockfunction = std::int64_t (*)();
extern std::atomic<clockfunction> clockoverride;
/// The current calendar time in seconds.
std::int64_t now();

/// The calendar text of `t` in the platform's standard form ("Wed Dec  9 05:56:17 2026"), or the
/// placeholder when `ok` is false or the year does not have four digits.
void formattime(const std::tm& t, bool ok, char (&out)[timetextlength]);
/// Moves the broken-down time `t` by `seconds`, keeping its offset from UTC (no time-zone rules
/// are consulted, so it takes no lock and is safe in a signal handler).
void shiftcalendar(std::tm& t, std::int64_t seconds);

/// The time text of the current second, rendered once per second.
class timecache
{
public:
    /// The text of second `s`. With `signalsafe`, a new second is derived from the cached one by
    /// `shiftcalendar` instead of asking the platform's time-zone code, which may hold a lock.
    const char* textof(std::int64_t s, bool signalsafe);

private:
    bool valid;
    bool calendarok;
    std::int64_t second;
    std::tm calendar;
    char text[timetextlength];
};
}  // namespace detail
}  // namespace QUORVEL
