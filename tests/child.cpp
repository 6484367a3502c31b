// Termination scenarios, one per run, named by the first argument. Every one ends the process.
#include "support.hpp"

#include <quorvel/quorvel.hpp>
#if defined(QUORVEL_TEST_INTERNALS)
#include "log/timetext.hpp"
#endif

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

struct userfault : std::runtime_error
{
    userfault() : std::runtime_error("a user's fault") {}
};
struct plainfault  // not a std::exception
{
};

namespace
{
void escapes() noexcept(false)
{
    throw std::logic_error("escaped a noexcept function");
}
void guarded() noexcept
{
    escapes();
}
struct throwsonunwind
{
    ~throwsonunwind() noexcept(false)
    {
        throw std::runtime_error("second, thrown while unwinding");
    }
};

// Limits the address space to what the process uses now: every later allocation fails.
void exhaustmemory()
{
    unsigned long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t used = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    const rlimit limit{used, RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
}

#if defined(QUORVEL_TEST_INTERNALS)  // the log's clock is internal
// A clock that terminates the process from inside the log, as a signal handler would while a
// line is being appended, and is a day, an hour, a minute and a second later from then on.
std::int64_t clocknow = 1000000000;
bool clockfaults = false;
std::int64_t faultyclock()
{
    if (clockfaults)
    {
        clockfaults = false;
        clocknow += 90061;
        std::terminate();
    }
    return clocknow;
}
#endif

// Two processes report at the same moment: the parent and a child forked after start-up each log
// their own lines, meet at a pipe, and terminate together.
void forkandterminate()
{
    int ready[2], go[2];
    if (pipe(ready) != 0 || pipe(go) != 0)
        std::_Exit(2);
    const pid_t pid = fork();
    const std::string me = pid == 0 ? "process child" : "process parent";
    for (int i = 0; i < 3000; ++i) QUORVEL::log(me);
    char byte = 0;
    if (pid == 0)
    {
        if (write(ready[1], "r", 1) != 1 || read(go[0], &byte, 1) != 1)
            std::_Exit(2);
    }
    else if (read(ready[0], &byte, 1) != 1 || write(go[1], "g", 1) != 1)
        std::_Exit(2);
}
}  // namespace

int main(int argc, char** argv)
{
    const std::string scenario = argc > 1 ? argv[1] : "";
    if (scenario == "direct")
        QUORVEL::logdumper();  // before the module started: no previous handler
    if (scenario == "returning")
        std::set_terminate([] { std::fputs("previous handler returned\n", stderr); });
    if (scenario == "reentering")  // a previous handler that terminates again
        std::set_terminate([] { std::terminate(); });
    if (scenario == "selfhandler")
        std::set_terminate(QUORVEL::logdumper);
    if (scenario == "fork")  // the previous handler lets the forked child finish first
        std::set_terminate(
            []
            {
                while (wait(nullptr) > 0)
                {
                }
                std::abort();
            });
    if (scenario == "exiting")
        std::set_terminate(
            []
            {
                std::fputs("previous handler ran\n", stderr);
                std::_Exit(3);
            });

#if defined(QUORVEL_TEST_INTERNALS)
    if (scenario == "clock")
        QUORVEL::detail::clockoverride.store(faultyclock);
#endif

    QUORVEL::fixedint x(3);
    if (scenario == "range")
        x = std::int64_t{1000};
    else if (scenario == "length")
        x.resize(UINT64_MAX);  // beyond what any vector can hold: std::length_error
    else if (scenario == "badalloc")
    {
        if (sizeof(std::size_t) < 8)  // a 32-bit process could map that much: limit it first
        {
            const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
            setrlimit(RLIMIT_AS, &limit);
        }
        x.resize(testing_support::unallocatablewidth);  // more than memory can hold: bad_alloc
    }
    else if (scenario == "custom")
        throw userfault();
    else if (scenario == "int")
        throw 42;
    else if (scenario == "plain")
        throw plainfault();
    else if (scenario == "noexcept")
        guarded();
    else if (scenario == "unwinding")
    {
        throwsonunwind t;
        throw std::runtime_error("first");
    }
    else if (scenario == "badlog")
    {
        // A log stream that throws on every write: the handler must still write and hand over.
        QUORVEL::logstream.setstate(std::ios::badbit);
        try
        {
            QUORVEL::logstream.exceptions(std::ios::badbit);
        }
        catch (const std::ios::failure&)
        {
        }
    }
    else if (scenario == "oom")
    {
        // Lines are logged until memory runs out: the one that fails throws and leaves no trace.
        std::size_t count = 0;
        exhaustmemory();
        try
        {
            for (;;)
            {
                QUORVEL::log("filler");
                ++count;
            }
        }
        catch (const std::bad_alloc&)
        {
        }
        std::fprintf(stderr, "filler lines: %zu\n", count);
    }
    else if (scenario == "fsize")  // the report cannot be written whole
    {
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    else if (scenario == "fork")
        forkandterminate();
#if defined(QUORVEL_TEST_INTERNALS)
    else if (scenario == "clock")
    {
        QUORVEL::log("before");
        clockfaults = true;
        QUORVEL::log("interrupted");  // asks the clock for its second, with the log locked
    }
#endif
    else if (scenario == "signal")
    {
        // A crash reporter's pattern: a signal handler that terminates, here while lines are
        // being logged.
        std::signal(SIGALRM, [](int) { std::terminate(); });
        const itimerval soon{{0, 0}, {0, 2000 + 97 * (getpid() % 23)}};
        setitimer(ITIMER_REAL, &soon, nullptr);
        for (QUORVEL::fixedint y(3);;)
        {
            QUORVEL::log("a line of the main loop");
            y = y * x;
        }
    }
    std::terminate();
}
