// The termination report: `logdumper`, and the report file it writes whole or not at all.
#include "log/session.hpp"
#include "platform/files.hpp"
#include "platform/thread.hpp"

#include <quorvel/log.hpp>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>

namespace QUORVEL
{
namespace
{
using detail::line;

// Every report is written to a file of its own in "logs/" and renamed over "logs/quorvel.log"
// once it is complete: nothing at that name is ever opened, so a link there is not followed and a
// FIFO there is not blocked on; an older report stays until a whole new one replaces it; and two
// processes never write into the same file.
constexpr char reportpath[] = "logs/quorvel.log";

// "logs/quorvel.log.<pid>.tmp", built without allocating.
void temporaryname(char (&out)[64])
{
    unsigned long pid = detail::processid();
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

// The report file: made new, written whole, then put in place; removed on any failure.
class reportfile
{
public:
    reportfile() : fd(create(temporary)) {}
    ~reportfile()
    {
        if (fd >= 0)
        {
            detail::closefile(fd);
            detail::removefile(temporary);
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
            const detail::quietsignals quiet;
            whole = log.write(sink, this);
            whole = detail::closefile(fd) && whole;
            fd = -1;
        }
        if (!whole || !detail::replacefile(temporary, reportpath))
            detail::removefile(temporary);
    }

private:
    // Names the file and makes it; -1 when it cannot be made.
    static int create(char (&name)[64])
    {
        temporaryname(name);
        int made = detail::createfile(name);
        if (made < 0 && detail::lastfailureexists())  // left by an earlier process with this number
        {
            detail::removefile(name);
            made = detail::createfile(name);
        }
        return made;
    }

    static bool sink(void* self, const char* data, std::size_t length)
    {
        return detail::writeall(static_cast<reportfile*>(self)->fd, data, length);
    }

    char temporary[64]{};
    int fd = -1;
};

// Appends the report lines and writes the report. Allocates nothing, so it works when memory is
// exhausted; nothing in it throws.
void writereport() noexcept
{
    // The exception is looked at before the log is locked: its what() is the user's own code.
    const char* type = detail::unknownexception;
    const char* what = detail::unknownexception;
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
    log.add(detail::exceptiontypemessage, type);
    log.add(detail::whatmessage, what);
    log.add(line::logend);
    file.write(log);
}

}  // namespace

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
        detail::waitforever();
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
