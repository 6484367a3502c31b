// The module's start-up and its termination report: `setup`, `logdumper` and the report file.
#include "quorvel/lock.hpp"
#include "quorvel/log.hpp"
#include "quorvel/quorvel.hpp"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace QUORVEL
{
bool init;
std::terminate_handler oldtermfunc;

namespace
{
using detail::line;

// Zero-initialised: `started` tells every thread that the start-up is over, `setuplock` lets one
// thread do it while the others wait.
std::atomic<bool> started;
detail::spinlock setuplock;

// Every report is written to a file of its own in "logs/" and renamed over "logs/quorvel.log"
// once it is complete: nothing at that name is ever opened, so a link there is not followed and a
// FIFO there is not blocked on; an older report stays until a whole new one replaces it; and two
// processes never write into the same file.
constexpr char reportpath[] = "logs/quorvel.log";

// "logs/quorvel.log.<pid>.tmp", built without allocating.
void temporaryname(char (&out)[64])
{
#if defined(_WIN32)
    unsigned long pid = static_cast<unsigned long>(_getpid());
#else
    auto pid = static_cast<unsigned long>(getpid());
#endif
    char digits[24];
    std::size_t n = 0;
    do
    {
        digits[n++] = static_cast<char>('0' + pid % 10);
        pid /= 10;
    } while (pid != 0);
    std::size_t k = sizeof reportpath - 1;
    std::memcpy(out, reportpath, k);
    out[k++] = '.';
    while (n > 0) out[k++] = digits[--n];
    std::memcpy(out + k, ".tmp", 5);
}

#if defined(_WIN32)
int openfile(const char* path)
{
    int fd = -1;
    // Text mode: each line feed is stored as the platform's line end.
    _sopen_s(&fd, path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT, _SH_DENYWR,
             _S_IREAD | _S_IWRITE);
    return fd;
}
bool writeall(int fd, const char* data, std::size_t length)
{
    while (length > 0)
    {
        const unsigned chunk = length > (1u << 30) ? (1u << 30) : static_cast<unsigned>(length);
        const int n = _write(fd, data, chunk);
        if (n <= 0)
            return false;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}
bool closefile(int fd)
{
    return _close(fd) == 0;
}
bool replacefile(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}
void removefile(const char* path)
{
    _unlink(path);
}

// Nothing to hold back on this platform.
struct quietsignals
{
};
#else
int openfile(const char* path)
{
    // Never an existing file: a link planted at this name is not followed.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open() is the POSIX interface
    return open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}
bool writeall(int fd, const char* data, std::size_t length)
{
    while (length > 0)
    {
        const ssize_t n = write(fd, data, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}
bool closefile(int fd)
{
    return close(fd) == 0;
}
bool replacefile(const char* from, const char* to)
{
    return std::rename(from, to) == 0;
}
void removefile(const char* path)
{
    unlink(path);
}

// Holds back SIGPIPE and SIGXFSZ while the report is written, so that a write past a file size
// limit fails (and the report is dropped whole) instead of ending the process another way. What
// the writes raised is discarded before the signals are let through again.
class quietsignals
{
public:
    quietsignals()
    {
        sigemptyset(&held);
        sigaddset(&held, SIGPIPE);
        sigaddset(&held, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &held, &before);
    }
    ~quietsignals()
    {
        sigset_t pending;
        sigpending(&pending);
        for (const int s : {SIGPIPE, SIGXFSZ})
            // A signal that was not held back before cannot have been pending before.
            if (sigismember(&pending, s) == 1 && sigismember(&before, s) == 0)
            {
                sigset_t one;
                sigemptyset(&one);
                sigaddset(&one, s);
                const timespec immediately{0, 0};
                sigtimedwait(&one, nullptr, &immediately);
            }
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
    }
    quietsignals(const quietsignals&) = delete;
    quietsignals& operator=(const quietsignals&) = delete;
    quietsignals(quietsignals&&) = delete;
    quietsignals& operator=(quietsignals&&) = delete;

private:
    sigset_t held{};
    sigset_t before{};
};
#endif

// The report file: made new, written whole, then put in place; removed on any failure.
class reportfile
{
public:
    reportfile() : fd(create(temporary)) {}
    ~reportfile()
    {
        if (fd >= 0)
        {
            closefile(fd);
            removefile(temporary);
        }
    }
    reportfile(const reportfile&) = delete;
    reportfile& operator=(const reportfile&) = delete;
    reportfile(reportfile&&) = delete;
    reportfile& operator=(reportfile&&) = delete;

    void write(detail::reportsession& log)
    {
        if (fd < 0)
            return;  // no "logs/" (or no permission): the report is lost, as before
        bool whole = false;
        {
            const quietsignals quiet;
            whole = log.write(sink, this);
            whole = closefile(fd) && whole;
            fd = -1;
        }
        if (!whole || !replacefile(temporary, reportpath))
            removefile(temporary);
    }

private:
    // Names the file and makes it; -1 when it cannot be made.
    static int create(char (&name)[64])
    {
        temporaryname(name);
        int made = openfile(name);
        if (made < 0 && errno == EEXIST)  // left by an earlier process with this number
        {
            removefile(name);
            made = openfile(name);
        }
        return made;
    }

    static bool sink(void* self, const char* data, std::size_t length)
    {
        return writeall(static_cast<reportfile*>(self)->fd, data, length);
    }

    char temporary[64]{};
    int fd = -1;
};

// Appends the report lines and writes the report. Allocates nothing, so it works when memory is
// exhausted; nothing in it throws.
void writereport() noexcept
{
    // The exception is looked at before the log is locked: its what() is the user's own code.
    const char* type = "UNKNOWN";
    const char* what = "UNKNOWN";
    const std::exception_ptr current = std::current_exception();
    if (current)
    {
        try
        {
            std::rethrow_exception(current);
        }
        catch (const std::exception& e)
        {
            type = typeid(e).name();
            what = e.what();
        }
        catch (...)  // not a std::exception: reported as UNKNOWN
        {
        }
    }
    detail::reportsession log;
    log.add(line::terminatecalled);
    reportfile file;
    log.add(line::openedfile);
    log.add(line::rethrowing);
    log.add("Exception type: ", type);
    log.add("what(): ", what);
    log.add(line::logend);
    file.write(log);
}

[[noreturn]] void waitforever() noexcept
{
    for (;;)
    {
#if defined(_WIN32)
        Sleep(INFINITE);
#else
        pause();
#endif
    }
}
}  // namespace

void setup()
{
    if (started.load(std::memory_order_acquire))
        return;
    detail::lockguard guard(setuplock);
    // Once `init` is set, every later call returns at once, also when this one fails after it.
    struct over
    {
        over() = default;
        over(const over&) = delete;
        over& operator=(const over&) = delete;
        over(over&&) = delete;
        over& operator=(over&&) = delete;
        ~over()
        {
            if (init)
                started.store(true, std::memory_order_release);
        }
    } finish;
    if (init)
        return;
    detail::logline(line::firstobject);
    detail::logline(line::startinit);
    init = true;
    detail::logline(line::settingup);
    oldtermfunc = std::get_terminate();
    std::set_terminate(logdumper);
    detail::logline(line::initdone);
}

void logdumper() noexcept
{
    // One report per process. The thread that reports and comes back here (its previous handler
    // terminates again or is this function itself, or a fault while it writes) ends the process
    // at once; any other thread waits for the reporting one to end it.
    static std::atomic<std::uintptr_t> reporter;
    const std::uintptr_t self = detail::threadtag();
    std::uintptr_t none = 0;
    if (!reporter.compare_exchange_strong(none, self))
    {
        if (none == self)
            std::abort();
        waitforever();
    }
    writereport();
    const std::terminate_handler previous = oldtermfunc;
    if (previous != nullptr)
        previous();
    // No previous handler (a call before `setup`), or one that returned: a termination handler
    // must not return.
    std::abort();
}
}  // namespace QUORVEL
