// Internal: the calendar time text of the log lines. Not installed.
#pragma once

#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// Length of the time text: "Www Mmm dd hh:mm:ss yyyy".
constexpr int timetextlength = 24;
/// What a log line carries when the platform cannot render the time.
constexpr char timeplaceholder[] = "??? ??? ?? ??:??:?? ????";

/// The current calendar time in seconds.
std::int64_t now();
/// Writes the platform's local calendar text for `seconds` (its final line feed removed) into
/// `out`, or the placeholder when the platform cannot render it in exactly 24 characters.
void rendertime(std::int64_t seconds, char (&out)[timetextlength]);
/// The time text for the current second; rendered at most once per second.
const char* currenttimetext();
}  // namespace detail
}  // namespace QUORVEL
