// The time text of the log lines: the platform's calendar text, rendered without the C library's
// static buffers, and kept per second.
#include "log/timetext.hpp"

#include "platform/clock.hpp"

#include <cstddef>
#include <cstring>

namespace QUORVEL
{
namespace detail
{
namespace
{
void twodigits(char* out, int v)
{
    out[0] = static_cast<char>('0' + v / 10);
    out[1] = static_cast<char>('0' + v % 10);
}

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's days_from_civil).
std::int64_t daysfromcivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}
}  // namespace

std::atomic<clockfunction> clockoverride{nullptr};

std::int64_t now()
{
    const clockfunction clock = clockoverride.load(std::memory_order_relaxed);
    return clock != nullptr ? clock() : systemseconds();
}

void formattime(const std::tm& t, bool ok, char (&out)[timetextlength])
{
    static const char days[] = "SunMonTueWedThuFriSat";
    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const long year = 1900L + t.tm_year;
    if (!ok || year < 1000 || year > 9999 || t.tm_wday < 0 || t.tm_wday > 6 || t.tm_mon < 0 ||
        t.tm_mon > 11 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_hour < 0 || t.tm_hour > 23 ||
        t.tm_min < 0 || t.tm_min > 59 || t.tm_sec < 0 || t.tm_sec > 60)
    {
        std::memcpy(out, timeplaceholder, timetextlength);
        return;
    }
    // The standard calendar text: "%.3s %.3s%3d %.2d:%.2d:%.2d %d".
    std::memcpy(out, days + 3 * static_cast<std::ptrdiff_t>(t.tm_wday), 3);
    out[3] = ' ';
    std::memcpy(out + 4, months + 3 * static_cast<std::ptrdiff_t>(t.tm_mon), 3);
    out[7] = ' ';
    twodigits(out + 8, t.tm_mday);
    if (out[8] == '0')
        out[8] = ' ';
    out[10] = ' ';
    twodigits(out + 11, t.tm_hour);
    out[13] = ':';
    twodigits(out + 14, t.tm_min);
    out[16] = ':';
    twodigits(out + 17, t.tm_sec);
    out[19] = ' ';
    twodigits(out + 20, static_cast<int>(year / 100));
    twodigits(out + 22, static_cast<int>(year % 100));
}

void shiftcalendar(std::tm& t, std::int64_t seconds)
{
    const std::int64_t days =
        daysfromcivil(1900 + static_cast<std::int64_t>(t.tm_year),
                      static_cast<unsigned>(t.tm_mon + 1), static_cast<unsigned>(t.tm_mday));
    std::int64_t total = days * 86400 + std::int64_t{t.tm_hour} * 3600 +
                         std::int64_t{t.tm_min} * 60 + t.tm_sec + seconds;
    std::int64_t z = (total >= 0 ? total : total - 86399) / 86400;  // floor division
    const std::int64_t secs = total - z * 86400;
    t.tm_hour = static_cast<int>(secs / 3600);
    t.tm_min = static_cast<int>(secs / 60 % 60);
    t.tm_sec = static_cast<int>(secs % 60);
    t.tm_wday = static_cast<int>(((z % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    // civil_from_days, the inverse of daysfromcivil.
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
    t.tm_year = static_cast<int>(y - 1900);
    t.tm_mon = static_cast<int>(m - 1);
    t.tm_mday = static_cast<int>(d);
}

const char* timecache::textof(std::int64_t s, bool signalsafe)
{
    if (valid && s == second)
        return text;
    std::tm moved{};
    bool ok = false;
    if (signalsafe && valid)
    {
        moved = calendar;
        shiftcalendar(moved, s - second);
        ok = calendarok;
    }
    else
        ok = localcalendar(s, moved);
    // Marked invalid while it changes, for a report that interrupts this.
    valid = false;
    formattime(moved, ok, text);
    calendar = moved;
    calendarok = ok;
    second = s;
    valid = true;
    return text;
}
}  // namespace detail
}  // namespace QUORVEL
