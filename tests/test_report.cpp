// Whole processes: the termination report in each scenario, the demo, and static clients.
#include "log/records.hpp"
#include "support.hpp"

#include <quorvel/quorvel.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using namespace testing_support;
namespace fs = std::filesystem;

enum class folder
{
    logs,       // "logs/" exists
    nologs,     // no "logs/": the report is lost, the process still ends through the handler
    logsfile,   // "logs" is a regular file
    logdir,     // "logs/quorvel.log" is a directory
    oldreport,  // an older report exists: replaced, never appended to, kept if none is written
    fifo,       // "logs/quorvel.log" is a FIFO without a reader: replaced, never opened
    symlink     // "logs/quorvel.log" links to a file outside: the link is replaced, never followed
};

struct scenario
{
    const char* name;
    folder where;
    std::vector<std::string> report;  // expected messages; empty when no report can be written
    int exitcode;                     // -1: ends by SIGABRT
    const char* stderrpart;           // what the previous handler printed, or ""
};

std::vector<std::string> started(const std::string& type, const std::string& what)
{
    return concat(concat(startupmessages(), constructionmessages(3)), reportmessages(type, what));
}

const scenario scenarios[] = {
    {"none", folder::logs, started("UNKNOWN", "UNKNOWN"), -1,
     "terminate called without an active exception"},
    {"range", folder::logs, started("St12out_of_range", "Input int bigger than size!"), -1,
     "what():  Input int bigger than size!"},
    {"length", folder::logs,
     concat(concat(concat(startupmessages(), constructionmessages(3)),
                   {"Resize requested in fixedint.", "Resizing Digits to: 18446744073709551615"}),
            reportmessages("St12length_error", "vector::_M_default_append")),
     -1, "vector::_M_default_append"},
#if !defined(QUORVEL_TEST_ASAN)  // no std::bad_alloc under AddressSanitizer
    {"badalloc", folder::logs,
     concat(concat(concat(startupmessages(), constructionmessages(3)),
                   {"Resize requested in fixedint.",
                    "Resizing Digits to: " + std::to_string(unallocatablewidth)}),
            reportmessages("St9bad_alloc", "std::bad_alloc")),
     -1, "std::bad_alloc"},
#endif
    {"custom", folder::logs, started("9userfault", "a user's fault"), -1, "'userfault'"},
    {"int", folder::logs, started("UNKNOWN", "UNKNOWN"), -1, "instance of 'int'"},
    {"plain", folder::logs, started("UNKNOWN", "UNKNOWN"), -1, "instance of 'plainfault'"},
    {"noexcept", folder::logs, started("St11logic_error", "escaped a noexcept function"), -1,
     "escaped a noexcept function"},
    // A destructor throwing while another exception unwinds: the first is the one being handled.
    {"unwinding", folder::logs, started("St13runtime_error", "first"), -1, ""},
    {"returning", folder::logs, started("UNKNOWN", "UNKNOWN"), -1, "previous handler returned"},
    {"exiting", folder::logs, started("UNKNOWN", "UNKNOWN"), 3, "previous handler ran"},
    {"direct", folder::logs, reportmessages("UNKNOWN", "UNKNOWN"), -1, ""},
    {"badlog", folder::logs, started("UNKNOWN", "UNKNOWN"), -1,
     ""},  // the stream's state is not the log's
    {"reentering", folder::logs, started("UNKNOWN", "UNKNOWN"), -1, ""},   // one report, then abort
    {"selfhandler", folder::logs, started("UNKNOWN", "UNKNOWN"), -1, ""},  // logdumper was in force
    {"fsize", folder::oldreport, {}, -1, "terminate called without an active exception"},
    {"none", folder::fifo, started("UNKNOWN", "UNKNOWN"), -1, ""},
    {"none", folder::symlink, started("UNKNOWN", "UNKNOWN"), -1, ""},
    {"none", folder::nologs, {}, -1, "terminate called without an active exception"},
    {"none", folder::logsfile, {}, -1, "terminate called without an active exception"},
    {"none", folder::logdir, {}, -1, "terminate called without an active exception"},
    {"none", folder::oldreport, started("UNKNOWN", "UNKNOWN"), -1, ""},
};

void PrintTo(const scenario& s, std::ostream* os)
{
    *os << s.name << " in folder kind " << int(s.where);
}

class TerminationReport : public testing::TestWithParam<scenario>
{
};

TEST_P(TerminationReport, IsWrittenAndHandedOver)
{
    const scenario& s = GetParam();
#if defined(QUORVEL_TEST_EMULATOR)
    if (sizeof(std::size_t) < 8 && std::string(s.name) == "badalloc")
        GTEST_SKIP() << "a 32-bit child limits its memory, which would bind the emulator";
#endif
    const std::string dir =
        freshfolder(std::string("report-") + s.name + "-" + std::to_string(int(s.where)));
    const std::string report = dir + "/logs/quorvel.log";
    if (s.where != folder::nologs && s.where != folder::logsfile)
        fs::create_directory(dir + "/logs");
    if (s.where == folder::logsfile)
        writefile(dir + "/logs", "not a folder\n");
    if (s.where == folder::logdir)
        fs::create_directory(report);
    const std::string older = "an older report\nwith two lines\n";
    if (s.where == folder::oldreport)
        writefile(report, older);
    if (s.where == folder::fifo)
    {
        ASSERT_EQ(mkfifo(report.c_str(), 0644), 0);
    }
    if (s.where == folder::symlink)
    {
        writefile(dir + "/elsewhere", older);
        fs::create_symlink("../elsewhere", report);
    }

    const childresult r = runchild(QUORVEL_TEST_CHILD, {s.name}, dir);

    if (s.exitcode < 0)
        EXPECT_TRUE(r.abortedbysignal()) << "status " << r.status << "\n" << r.err;
    else
        EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == s.exitcode) << r.status;
    EXPECT_THAT(r.err, testing::HasSubstr(s.stderrpart));
    EXPECT_EQ(r.out, "");
    switch (s.where)
    {
        case folder::nologs:
            EXPECT_FALSE(fs::exists(dir + "/logs"));
            break;
        case folder::logsfile:
            EXPECT_EQ(readfile(dir + "/logs"), "not a folder\n");
            break;
        case folder::logdir:
            EXPECT_TRUE(fs::is_directory(report));
            break;
        default:
        {
            if (s.where == folder::symlink)
            {
                EXPECT_EQ(readfile(dir + "/elsewhere"), older);
            }
            if (s.report.empty())
            {
                EXPECT_EQ(readfile(report), older);
                break;
            }
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(report)));
            const std::string text = readfile(report);
            EXPECT_EQ(messages(text), s.report);
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(text.back(), '\n');
            EXPECT_EQ(text.find("\n\n"), std::string::npos);
        }
    }
    if (fs::is_directory(dir + "/logs"))  // no file of a report is left behind
    {
        for (const auto& entry : fs::directory_iterator(dir + "/logs"))
            EXPECT_EQ(entry.path().filename(), "quorvel.log");
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, TerminationReport, testing::ValuesIn(scenarios),
                         [](const testing::TestParamInfo<scenario>& p) {
                             return std::string(p.param.name) + "In" +
                                    std::to_string(int(p.param.where));
                         });

// A product that runs out of memory after its scratch result was made destroys that result, and
// the process goes on. The address space is limited in a child, just above what the operands,
// the copy of the right operand and the scratch result need.
void productoutofmemory()
{
    const std::uint64_t w = std::uint64_t{1} << 22;
    QUORVEL::fixedint a(w), b(w);
    std::fill(a.digits.begin(), a.digits.end(), std::int8_t{7});
    std::fill(b.digits.begin(), b.digits.end(), std::int8_t{3});
    QUORVEL::logstream.str(std::string());
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    statm >> pages;
    const rlim_t used = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    rlimit limit{static_cast<rlim_t>(used + 3 * w + (w / 4)), RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
    bool threw = false;
    try
    {
        (void)(a * b);
    }
    catch (const std::bad_alloc&)
    {
        threw = true;
    }
    limit.rlim_cur = RLIM_INFINITY;
    setrlimit(RLIMIT_AS, &limit);
    const std::vector<std::string> want = concat(
        constructionmessages(2 * w), {"Deleted fixedint object.", "Deleted fixedint object."});
    const bool logged = messages(QUORVEL::logstream.str()) == want;
    QUORVEL::fixedint small(4);
    small = 12;
    const bool usable = (small * small).asstring() == "144";
    std::fprintf(stderr, "threw %d logged %d usable %d\n", threw, logged, usable);
    std::_Exit(threw && logged && usable ? 0 : 1);
}

TEST(MemoryDeathTest, ProductOutOfMemoryDestroysItsResult)
{
    SKIP_UNDER_EMULATOR();
    SKIP_WITHOUT_BAD_ALLOC();
    EXPECT_EXIT(productoutofmemory(), testing::ExitedWithCode(0), "threw 1 logged 1 usable 1");
}

// The demo as a user sees it: one line, an abort, and the report of tests/demo_report.txt, in
// order. That list is checked here against how its messages come about.
TEST(DemoRun, PrintsTheFourthPowerAndReports)
{
    std::vector<std::string> product =
        concat(constructionmessages(256),
               {"Resize requested in fixedint.", "Resizing Digits to: 128", "Done."});
    std::vector<std::string> want = concat(startupmessages(), constructionmessages(128));
    for (int i = 0; i < 3; ++i) want = concat(want, product);
    for (int i = 0; i < 5; ++i) want.push_back("Deleted fixedint object.");
    want = concat(want, reportmessages("UNKNOWN", "UNKNOWN"));
    std::vector<std::string> listed;
    std::istringstream file(readfile(QUORVEL_DEMO_REPORT));
    for (std::string line; std::getline(file, line);) listed.push_back(line);
    ASSERT_EQ(listed, want);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"ignored", "--help"}})
    {
        const std::string dir = freshfolder("demo-" + std::to_string(args.size()));
        fs::create_directory(dir + "/logs");
        const childresult r = runchild(QUORVEL_DEMO, args, dir);
        EXPECT_TRUE(r.abortedbysignal()) << r.status;
        EXPECT_EQ(r.out, "340282366604025813516997721482669850625\n");
        EXPECT_EQ(messages(readfile(dir + "/logs/quorvel.log")), want);
    }
}

// Numbers work at every stage of a process, products included.
TEST(LateClient, MultipliesAfterMain)
{
    const childresult r = runchild(QUORVEL_LATE_CLIENT, {}, freshfolder("late-client"));
    EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0) << r.status << r.err;
    EXPECT_EQ(r.out, "late products: ok\n");
}

// A client's static number logs from before main to after it, whichever way it is linked.
TEST(StaticClient, LogsBeforeAndAfterMain)
{
    const std::vector<std::string> want =
        concat(concat(startupmessages(), constructionmessages(5)), {"Deleted fixedint object."});
    for (const char* program : {QUORVEL_STATIC_AFTER, QUORVEL_STATIC_BEFORE})
    {
        const std::string dir = freshfolder("static-client");
        const childresult r = runchild(program, {}, dir);
        EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0) << program;
        EXPECT_EQ(messages(r.out), want) << program;
    }
}
}  // namespace

namespace
{
// Runs `scenario` of the test child in a fresh folder with "logs/" and returns the report's
// messages.
std::vector<std::string> reportof(const std::string& scenario, const std::string& folder,
                                  childresult& r)
{
    const std::string dir = freshfolder(folder);
    fs::create_directory(dir + "/logs");
    r = runchild(QUORVEL_TEST_CHILD, {scenario}, dir);
    EXPECT_TRUE(r.abortedbysignal()) << scenario << ": status " << r.status << "\n" << r.err;
    return messages(readfile(dir + "/logs/quorvel.log"));
}

// Memory is exhausted: the line that finds no room throws std::bad_alloc and leaves no trace,
// and the report still comes out whole, its own lines included.
TEST(ReportWhenMemoryIsExhausted, IsWhole)
{
    SKIP_WITHOUT_BAD_ALLOC();
#if defined(QUORVEL_TEST_EMULATOR)
    GTEST_SKIP() << "under an emulator the memory limit would bind the emulator, not the program";
#endif
    childresult r;
    const std::vector<std::string> got = reportof("oom", "report-oom", r);
    std::size_t fillers = 0;
    ASSERT_EQ(std::sscanf(r.err.c_str(), "filler lines: %zu", &fillers), 1) << r.err;
    EXPECT_GT(fillers, 1000u);
    std::vector<std::string> want = concat(startupmessages(), constructionmessages(3));
    want.insert(want.end(), fillers, "filler");
    EXPECT_EQ(got, concat(want, reportmessages("UNKNOWN", "UNKNOWN")));
}

// std::terminate from a signal handler that interrupts the logging of a line, many times over:
// every report ends with the report lines, and no line is cut or fused.
TEST(ReportFromASignalHandler, HasWholeLinesOnly)
{
    for (int run = 0; run < 25; ++run)
    {
        childresult r;
        const std::vector<std::string> got = reportof("signal", "report-signal", r);
        ASSERT_GE(got.size(), 13u) << "run " << run;
        const std::vector<std::string> tail(got.end() - 6, got.end());
        EXPECT_EQ(tail, reportmessages("UNKNOWN", "UNKNOWN")) << "run " << run;
        for (const std::string& m : got)
            ASSERT_EQ(m.rfind("MALFORMED", 0), std::string::npos) << "run " << run << ": " << m;
    }
}

#if defined(QUORVEL_TEST_INTERNALS)  // the child sets the log's clock
// A report that takes over from a line being appended (as from a signal handler) cannot ask the
// platform for the calendar: it moves the last time text it rendered. The child's clock
// terminates while a line is appended and then reads a day, an hour, a minute and a second later.
TEST(ReportTakingOverALine, CarriesTheTimeOfItsOwnSecond)
{
    childresult r;
    const std::string dir = freshfolder("report-clock");
    fs::create_directory(dir + "/logs");
    r = runchild(QUORVEL_TEST_CHILD, {"clock"}, dir);
    EXPECT_TRUE(r.abortedbysignal()) << "status " << r.status << "\n" << r.err;
    const std::string text = readfile(dir + "/logs/quorvel.log");
    const std::vector<std::string> before =
        concat(concat(startupmessages(), constructionmessages(3)), {"before"});
    EXPECT_EQ(messages(text), concat(before, reportmessages("UNKNOWN", "UNKNOWN")));
    const std::string then = timetext(1000000000), later = timetext(1000000000 + 90061);
    std::istringstream lines(text);
    std::string l;
    for (std::size_t i = 0; std::getline(lines, l); ++i)
        EXPECT_EQ(l.substr(QUORVEL::detail::timeoffset, QUORVEL::detail::timetextlength),
                  i < before.size() ? then : later)
            << l;
}
#endif

// A process and its fork terminate at the same moment: the file holds one whole report. (The
// moment is a race, so it is run a few times.)
TEST(ReportsOfTwoProcesses, NeverBlend)
{
    for (int run = 0; run < 5; ++run)
    {
        childresult r;
        const std::vector<std::string> got = reportof("fork", "report-fork", r);
        ASSERT_GT(got.size(), 3000u);
        const std::string who = got[7];
        EXPECT_TRUE(who == "process parent" || who == "process child") << who;
        std::vector<std::string> want = concat(startupmessages(), constructionmessages(3));
        want.insert(want.end(), 3000, who);
        ASSERT_EQ(got, concat(want, reportmessages("UNKNOWN", "UNKNOWN"))) << "run " << run;
    }
}
}  // namespace
