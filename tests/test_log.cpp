// The module log, its line format and the one-time start-up.
#include "log/records.hpp"
#include "support.hpp"

#include <quorvel/quorvel.hpp>
#if defined(QUORVEL_TEST_INTERNALS)
#include "log/state.hpp"
#include "log/timetext.hpp"
#include "platform/clock.hpp"
#endif

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <limits>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace
{
using namespace testing_support;
using QUORVEL::detail::linehead;
using QUORVEL::detail::timeoffset;
using QUORVEL::detail::timetextlength;
using testing::ElementsAre;

TEST(LogLine, HasPrefixTimeSeparatorMessageAndLineFeed)
{
    const std::size_t mark = logmark();
    QUORVEL::log("plain message");
    QUORVEL::log("");
    const std::string added = logsince(mark);
    EXPECT_THAT(messages(added), ElementsAre("plain message", ""));
    ASSERT_EQ(added.size(), 2 * (linehead + 1) + 13);
    EXPECT_EQ(added.substr(0, timeoffset), "QUORVEL [");
    EXPECT_EQ(added.substr(timeoffset + timetextlength, 3), "]: ");
}

// Every size class of message, every byte value (line feeds and NULs included), around the sizes
// where a line was once put together in one piece (219 to 221), and longer than a block.
TEST(LogLine, KeepsEveryMessageExactly)
{
    for (std::size_t length : {0u, 1u, 219u, 220u, 221u, 1000u, 300000u})
    {
        std::string message(length, '\0');
        for (std::size_t i = 0; i < length; ++i) message[i] = static_cast<char>(i * 7 % 256);
        const std::size_t mark = logmark();
        QUORVEL::log(message);
        const std::string added = logsince(mark);
        ASSERT_EQ(added.size(), linehead + length + 1) << length;
        EXPECT_EQ(messages(added.substr(0, linehead) + "m").at(0), "m");
        EXPECT_TRUE(added.compare(linehead, length, message) == 0) << length;
        EXPECT_EQ(added.back(), '\n');
    }
}

TEST(LogLine, CarriesTheCurrentLocalTime)
{
    const std::time_t before = std::time(nullptr);
    const std::size_t mark = logmark();
    QUORVEL::log("now");
    const std::time_t after = std::time(nullptr);
    const std::string stamp = logsince(mark).substr(timeoffset, timetextlength);
    bool matched = false;
    for (std::time_t t = before; t <= after; ++t)
    {
        char text[32];
        matched = matched || std::string(ctime_r(&t, text)).substr(0, 24) == stamp;
    }
    EXPECT_TRUE(matched) << stamp;
}

// Sets TZ for one scope and restores what it was.
class scopedtimezone
{
public:
    explicit scopedtimezone(const char* zone)
    {
        const char* old = std::getenv("TZ");
        had = old != nullptr;
        before = had ? old : "";
        setenv("TZ", zone, 1);
        tzset();
    }
    ~scopedtimezone()
    {
        if (had)
            setenv("TZ", before.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    scopedtimezone(const scopedtimezone&) = delete;
    scopedtimezone& operator=(const scopedtimezone&) = delete;

private:
    bool had = false;
    std::string before;
};

#if defined(QUORVEL_TEST_INTERNALS)  // the time text's pieces, and the log's clock
TEST(TimeText, RendersLocalCalendarText)
{
    const scopedtimezone utc("UTC");
    EXPECT_EQ(timetext(1000000000), "Sun Sep  9 01:46:40 2001");  // date -u -d @1000000000
    EXPECT_EQ(timetext(0), "Thu Jan  1 00:00:00 1970");
}

// Moving a calendar time by seconds without the time-zone code agrees with the platform's own.
TEST(TimeText, ShiftsLikeThePlatform)
{
    const scopedtimezone utc("UTC");
    std::tm base{};
    ASSERT_TRUE(QUORVEL::detail::localcalendar(951782399, base));  // 2000-02-28 23:59:59
    for (std::int64_t delta : {0, 1, 86400, 86401, 31622400, 1000000000, -951782399})
    {
        std::tm moved = base;
        QUORVEL::detail::shiftcalendar(moved, delta);
        char got[timetextlength];
        QUORVEL::detail::formattime(moved, true, got);
        EXPECT_EQ(std::string(got, sizeof got), timetext(951782399 + delta)) << delta;
    }
}

TEST(TimeText, UnrenderableTimeGivesThePlaceholder)
{
    for (std::int64_t t : {std::int64_t{253402300800} /* year 10000 */, INT64_MAX, INT64_MIN})
        EXPECT_EQ(timetext(t), QUORVEL::detail::timeplaceholder) << t;
}

std::int64_t fakeseconds = 1000000000;
std::int64_t fakeclock()
{
    return fakeseconds;
}

// The time text is rendered once per second and reused within it: a line logged in the next
// second (or back in an earlier one) gets that second's text, also after a change of daylight
// saving time (the zone's rule is given in POSIX form, which needs no zone files).
TEST(LogLine, CarriesTheTimeOfItsOwnSecond)
{
    QUORVEL::setup();  // its start-up lines stay out of what is read below
    const scopedtimezone eastern("EST5EDT,M3.2.0,M11.1.0");
    const auto platform = QUORVEL::detail::clockoverride.exchange(fakeclock);
    std::vector<std::int64_t> seconds{1000000000, 1000000000, 1000000001,
                                      1000000000, 1004900000, 2000000000};
    const std::size_t mark = logmark();
    for (std::int64_t t : seconds)
    {
        fakeseconds = t;
        QUORVEL::log("tick");
        QUORVEL::fixedint x(1);
    }
    QUORVEL::detail::clockoverride.store(platform);
    std::istringstream lines(logsince(mark));
    std::string l;
    for (std::int64_t t : seconds)
    {
        for (int k = 0; k < 4 && std::getline(lines, l); ++k)  // the line, the number's three
            EXPECT_EQ(l.substr(timeoffset, timetextlength), timetext(t)) << t;
        std::getline(lines, l);  // its deletion, a line later
    }
}

// Appends raw text until the log's tail block has exactly `room` bytes left (one thread; the
// clock fixed, so no time record comes between).
void leaveroom(std::size_t room)
{
    using QUORVEL::detail::state;
    for (;;)
    {
        const auto left = static_cast<std::size_t>(state.end - state.pos);
        if (left == room)
            return;
        // Records of up to 127 bytes take two more (their kind and one byte of length); one that
        // does not fit moves on to a new block.
        const std::size_t want =
            left < room + 2 ? left + 200 : std::min<std::size_t>(left - room, 129);
        const std::string text(want - 2, 'x');
        QUORVEL::detail::appendraw(text.data(), text.size());
    }
}

void setaddressspace(rlim_t bytes)
{
    const rlimit limit{bytes, RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
}

// Limits the address space to what the process uses now: every new mapping fails.
void exhaustmemory()
{
    unsigned long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    setaddressspace(pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)));
}

// resize when its last line ("Done.") finds no memory for a new block of the log: the number keeps
// its width and digits (the longer store is given back), or nothing fails.
void resizewithoutmemory()
{
    QUORVEL::detail::clockoverride.store(fakeclock);
    QUORVEL::fixedint x(10);
    x = 1234567890;
    leaveroom(3);  // the first two lines of the resize fit, the last does not
    exhaustmemory();
    bool threw = false;
    try
    {
        x.resize(100);
    }
    catch (const std::bad_alloc&)
    {
        threw = true;
    }
    setaddressspace(RLIM_INFINITY);
    const bool kept =
        threw ? x.size == 10 && x.digits.size() == 10 : x.size == 100 && x.digits.size() == 100;
    std::fprintf(stderr, "threw %d kept %d value %s\n", threw, kept, x.asstring().c_str());
    std::_Exit(kept && x.asstring() == "1234567890" ? 0 : 1);
}

TEST(MemoryDeathTest, ResizeKeepsTheNumberWhenItsLastLineFindsNoMemory)
{
    SKIP_UNDER_EMULATOR();
    SKIP_WITHOUT_BAD_ALLOC();
    EXPECT_EXIT(resizewithoutmemory(), testing::ExitedWithCode(0), "kept 1 value 1234567890");
}

// The reserve that takes a destructor's line when memory is exhausted is free again once the log
// is emptied: twice over, the line goes there instead of ending the process.
void reservetwice()
{
    QUORVEL::detail::clockoverride.store(fakeclock);
    for (int round = 0; round < 2; ++round)
    {
        {
            const QUORVEL::fixedint x(3);
            leaveroom(0);
            exhaustmemory();
        }  // its line goes into the reserve
        setaddressspace(RLIM_INFINITY);
        const std::string text = QUORVEL::logstream.str();
        if (text.size() < 25 || text.substr(text.size() - 25) != "Deleted fixedint object.\n")
            std::_Exit(2);
        QUORVEL::logstream.str("");
    }
    std::fprintf(stderr, "both in the reserve\n");
    std::_Exit(0);
}

TEST(MemoryDeathTest, TheReserveServesAgainAfterTheLogIsEmptied)
{
    SKIP_UNDER_EMULATOR();
    SKIP_WITHOUT_BAD_ALLOC();
    EXPECT_EXIT(reservetwice(), testing::ExitedWithCode(0), "both in the reserve");
}
#endif

// The log as a stream: raw text written with << and write() lands at the end, in order with the
// lines; reading has a position of its own and goes on after the log grows.
TEST(LogStream, WritesAppendAndReadsFollow)
{
    std::istream& in = QUORVEL::logstream;
    QUORVEL::logstream.str("");
    EXPECT_EQ(QUORVEL::logstream.tellp(), 0);
    EXPECT_EQ(in.peek(), EOF);  // a reader that started on an empty log sees what comes later
    in.clear();
    QUORVEL::logstream << "raw " << 42 << ' ';
    QUORVEL::log("one");
    QUORVEL::logstream.write("xyz\n", 4);
    QUORVEL::log("two");
    const std::string text = QUORVEL::logstream.str();
    EXPECT_EQ(text.substr(0, 7), "raw 42 ");
    EXPECT_THAT(messages(text.substr(7)), ElementsAre("one", "MALFORMED: xyz", "two"));
    EXPECT_EQ(QUORVEL::logstream.tellp(), static_cast<std::streamoff>(text.size()));

    std::string word, l;
    in >> word;
    EXPECT_EQ(word, "raw");
    in.seekg(0);
    in >> word;
    EXPECT_EQ(word, "raw");
    EXPECT_EQ(in.tellg(), 3);
    in.seekg(-4, std::ios::end);
    std::getline(in, l);
    EXPECT_EQ(l, "two");
    std::getline(in, l);  // reading past the end fails the stream, not the log
    EXPECT_TRUE(in.fail());
    QUORVEL::log("three");
    in.clear();
    std::getline(in, l);
    EXPECT_EQ(messages(l), std::vector<std::string>{"three"});
    in.seekg(7);  // backwards
    std::getline(in, l);
    EXPECT_EQ(messages(l), std::vector<std::string>{"one"});
    EXPECT_FALSE(QUORVEL::logstream.seekp(0));  // the put position is always the end
    QUORVEL::logstream.clear();

    QUORVEL::logstream.str("replaced\n");
    std::getline(in, l);
    EXPECT_EQ(l, "replaced");
    QUORVEL::logstream.str("");
    EXPECT_EQ(QUORVEL::logstream.str(), "");
}

// Seeks to every extreme offset in every direction fail as a string stream's do (failbit set, the
// position kept), and compute nothing that overflows (the sanitizer build runs this too).
TEST(LogStream, ExtremeSeeksFailCleanly)
{
    using limits = std::numeric_limits<std::streamoff>;
    QUORVEL::logstream.str("0123456789");
    std::istringstream peer("0123456789");
    const std::streamoff offsets[] = {
        limits::min(),     limits::min() + 1, -11, -10, -1, 0, 1, 10, 11,
        limits::max() - 1, limits::max()};
    for (std::ios_base::seekdir dir : {std::ios::beg, std::ios::cur, std::ios::end})
        for (std::streamoff off : offsets)
        {
            std::istream& in = QUORVEL::logstream;
            in.clear();
            peer.clear();
            in.seekg(3);
            peer.seekg(3);
            in.seekg(off, dir);
            peer.seekg(off, dir);
            EXPECT_EQ(in.fail(), peer.fail()) << "offset " << off << " direction " << dir;
            in.clear();
            peer.clear();
            EXPECT_EQ(in.tellg(), peer.tellg()) << "offset " << off << " direction " << dir;
        }
    QUORVEL::logstream.clear();
    QUORVEL::logstream.str("");
}

// A log that is never cleared costs a few bytes per line, and emptying it gives the memory back.
TEST(LogStream, EmptyingGivesMemoryBack)
{
#if defined(QUORVEL_TEST_EMULATOR)
    GTEST_SKIP() << "under an emulator the resident memory is the emulator's";
#endif
    auto resident = []
    {
        long pages = 0, rss = 0;
        std::ifstream("/proc/self/statm") >> pages >> rss;
        return rss * sysconf(_SC_PAGESIZE);
    };
    QUORVEL::logstream.str("");
    const long before = resident();
    for (int i = 0; i < 1000000; ++i) QUORVEL::log("x");
    const long grown = resident() - before;
    EXPECT_GT(grown, 2000000);
    EXPECT_LT(grown, 8000000);  // under eight bytes a line
    QUORVEL::logstream.str("");
#if !defined( \
    QUORVEL_TEST_ASAN)  // where AddressSanitizer's shadow of the freed blocks stays resident
    EXPECT_LT(resident() - before, grown / 8);
#endif
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
    SKIP_UNDER_EMULATOR();
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
