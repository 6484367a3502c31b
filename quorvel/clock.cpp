#include "quorvel/clock.hpp"

#include <cstring>
#include <ctime>

namespace QUORVEL
{
namespace detail
{
static_assert(sizeof(timeplaceholder) == timetextlength + 1, "placeholder must be 24 characters");

std::int64_t now()
{
#if defined(_WIN32)
    return static_cast<std::int64_t>(_time64(nullptr));
#else
    return static_cast<std::int64_t>(std::time(nullptr));
#endif
}

void rendertime(std::int64_t seconds, char (&out)[timetextlength])
{
    // The calendar text is 24 characters and a line feed; 26 bytes hold it with its terminator.
    char text[32] = {};
    bool rendered = false;
#if defined(_WIN32)
    const __time64_t t = seconds;
    rendered = _ctime64_s(text, sizeof text, &t) == 0;
#else
    const auto t = static_cast<std::time_t>(seconds);
    rendered = static_cast<std::int64_t>(t) == seconds && ctime_r(&t, text) != nullptr;
#endif
    if (rendered && std::strlen(text) == timetextlength + 1 && text[timetextlength] == '\n')
        std::memcpy(out, text, timetextlength);
    else
        std::memcpy(out, timeplaceholder, timetextlength);
}

const char* currenttimetext()
{
    // The text changes once a second; rendering it (a time-zone lookup) costs far more than a
    // log line, so it is kept for the second it belongs to. Zero-initialised, so usable from
    // any static constructor.
    static std::int64_t second;
    static bool valid;
    static char text[timetextlength + 1];
    const std::int64_t t = now();
    if (!valid || t != second)
    {
        char fresh[timetextlength];
        rendertime(t, fresh);
        std::memcpy(text, fresh, timetextlength);
        second = t;
        valid = true;
    }
    return text;
}
}  // namespace detail
}  // namespace QUORVEL
