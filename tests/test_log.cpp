// The module log, its line format and the one-time start-up.
#include "quorvel/clock.hpp"
#include "quorvel/quorvel.hpp"
#include "support.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace
{
using namespace testing_support;
using testing::ElementsAre;

TEST(LogLine, HasPrefixTimeSeparatorMessageAndLineFeed)
{
    const std::size_t mark = logmark();
    QUORVEL::log("plain message");
    QUORVEL::log("");
    const std::string added = logsince(mark);
    EXPECT_THAT(messages(added), ElementsAre("plain message", ""));
    ASSERT_EQ(added.size(), 2 * (9 + 24 + 3 + 1) + 13);
    EXPECT_EQ(added.substr(0, 9), "QUORVEL [");
    EXPECT_EQ(added.substr(33, 3), "]: ");
}

TEST(LogLine, KeepsLineFeedsInsideTheMessage)
{
    const std::size_t mark = logmark();
    QUORVEL::log("first\nsecond");
    const std::string added = logsince(mark);
    EXPECT_EQ(added.substr(36), "first\nsecond\n");
}

TEST(LogLine, CarriesTheCurrentLocalTime)
{
    const std::time_t before = std::time(nullptr);
    const std::size_t mark = logmark();
    QUORVEL::log("now");
    const std::time_t after = std::time(nullptr);
    const std::string stamp = logsince(mark).substr(9, 24);
    bool matched = false;
    for (std::time_t t = before; t <= after; ++t)
    {
        char text[32];
        matched = matched || std::string(ctime_r(&t, text)).substr(0, 24) == stamp;
    }
    EXPECT_TRUE(matched) << stamp;
}

TEST(TimeText, RendersLocalCalendarText)
{
    char out[QUORVEL::detail::timetextlength];
    setenv("TZ", "UTC", 1);
    tzset();
    QUORVEL::detail::rendertime(1000000000, out);
    EXPECT_EQ(std::string(out, sizeof out), "Sun Sep  9 01:46:40 2001");  // date -u -d @1000000000
    QUORVEL::detail::rendertime(0, out);
    EXPECT_EQ(std::string(out, sizeof out), "Thu Jan  1 00:00:00 1970");
}

TEST(TimeText, UnrenderableTimeGivesThePlaceholder)
{
    char out[QUORVEL::detail::timetextlength];
    for (std::int64_t t : {std::int64_t{253402300800} /* year 10000 */, INT64_MAX, INT64_MIN})
    {
        QUORVEL::detail::rendertime(t, out);
        EXPECT_EQ(std::string(out, sizeof out), QUORVEL::detail::timeplaceholder) << t;
    }
}

// Start-up happens once per process, so these run in a fresh child (a death test that exits).
// Each child reports the first failed check on standard error and exits 1.
#define CHILD_CHECK(cond)                              \
    do                                                 \
    {                                                  \
        if (!(cond))                                   \
        {                                              \
            std::fputs("failed: " #cond "\n", stderr); \
            std::_Exit(1);                             \
        }                                              \
    } while (0)

void noopterminate()
{
    std::abort();
}

TEST(StartupDeathTest, FirstNumberStartsTheModuleOnce)
{
    EXPECT_EXIT(
        {
            std::set_terminate(noopterminate);
            QUORVEL::log("before the module");  // logs, but does not start it
            CHILD_CHECK(!QUORVEL::init && std::get_terminate() == noopterminate);
            QUORVEL::fixedint first(128);
            CHILD_CHECK(QUORVEL::init && std::get_terminate() == QUORVEL::logdumper);
            CHILD_CHECK(QUORVEL::oldtermfunc == noopterminate);
            const std::vector<std::string> want =
                concat(concat({"before the module"}, startupmessages()), constructionmessages(128));
            CHILD_CHECK(messages(QUORVEL::logstream.str()) == want);
            QUORVEL::fixedint second(7);
            QUORVEL::setup();
            CHILD_CHECK(messages(QUORVEL::logstream.str()) ==
                        concat(want, constructionmessages(7)));
            CHILD_CHECK(QUORVEL::oldtermfunc == noopterminate);
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
