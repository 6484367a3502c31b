/// @file
/// The module log, the module's start-up and its termination report.
///
/// Every notable step of the library is a line in a process-wide in-memory log, `logstream`. The
/// first number made calls `setup`, which starts the module and installs `logdumper` as the
/// termination handler; when the process terminates abnormally, `logdumper` writes the whole log
/// to "logs/quorvel.log" and hands over to the handler that was in force before.
#pragma once

#include <quorvel/export.hpp>

#include <exception>
#include <istream>
#include <string>

namespace QUORVEL
{
namespace detail
{
struct logaccess;
}

/// The module log as an in-memory text stream, open for reading and writing.
///
/// The log is kept as compact records and rendered as text only when it is read, so a program
/// that makes millions of numbers and never clears it pays a few bytes per line. Its text is that
/// of a `std::stringstream` holding every line logged so far, oldest first, each
/// "QUORVEL [<24-character local time>]: <message>\n".
///
/// - `str()` gives the whole text; `str(text)` replaces the log with `text`, and `str("")`
///   empties it and gives its memory back.
/// - Writing (`<<`, `write`, `put`) appends raw text at the end of the log, in order with the
///   lines logged around it. The put position is always the end: `tellp()` gives the length of the
///   text, and `seekp` fails for any other position.
/// - Reading (`getline`, `>>`, `read`, `seekg`, `tellg`) works from a position of its own and
///   never disturbs the log: reading to the end sets the stream's eofbit as usual, but lines go on
///   being logged whatever the stream's state. A backward `seekg` renders the text again from the
///   start.
///
/// For a caller that bound the former `std::stringstream& logstream`: bind `std::iostream&` or
/// `QUORVEL::logtextstream&` instead; `rdbuf()` is not a `std::stringbuf`, and `seekp` cannot
/// rewind the log (use `str("")`).
class QUORVEL_API logtextstream : public std::iostream
{
public:
    /// The whole text of the log. Throws std::bad_alloc when there is no memory for it.
    std::string str() const;
    /// Replaces the log with `text` (an empty text releases all its memory). Reading starts again
    /// from the beginning. Throws std::bad_alloc, leaving the log as it was, when there is no
    /// memory for `text`.
    void str(const std::string& text);

private:
    friend struct detail::logaccess;
    explicit logtextstream(std::streambuf* buffer);
};

/// The module log. It lives from static initialisation to process exit (it is never destroyed, so
/// numbers with static storage duration may log from their constructors and destructors in any
/// translation unit). It grows without limit but memory.
extern QUORVEL_API logtextstream& logstream;
namespace detail
{
// Builds the log on first use, in the manner of the standard streams: every file that includes
// this header builds it before its own static objects, so `logstream` may be read from any
// static constructor.
struct QUORVEL_API logbufferinit
{
    logbufferinit();
};
static const logbufferinit logbufferready;
}  // namespace detail

/// True once `setup` has started the module; never cleared.
extern QUORVEL_API bool init;
/// The termination handler that was in force when `setup` installed `logdumper`; null before.
extern QUORVEL_API std::terminate_handler oldtermfunc;

/// Appends one line to `logstream`: "QUORVEL [", the local time as 24 characters
/// ("Wed Dec  9 05:56:17 2026"), "]: ", `message` exactly as given (any bytes, any length), and a
/// line feed. A time the platform cannot render appears as "??? ??? ?? ??:??:?? ????". Works
/// before the module starts, and from any thread. Throws std::bad_alloc when there is no memory
/// for the line; the log then holds whole lines only, without this one.
///
/// The same holds for the lines the numbers log: an operation whose line finds no memory throws
/// std::bad_alloc with its own guarantee (a constructor makes nothing, `resize` keeps the number).
QUORVEL_API void log(
    std::string message);  // NOLINT(performance-unnecessary-value-param): works on its copy
/// Starts the module on its first call: logs four start-up lines and installs `logdumper` as the
/// termination handler, keeping the previous one in `oldtermfunc`. Later calls do nothing. Safe
/// from several threads: the first does the work while the others wait for it.
QUORVEL_API void setup();
/// The termination handler. Logs "Terminate called. Preparing report.", "Opened File.",
/// "Rethrowing exception and getting type.", "Exception type: <T>", "what(): <W>" and
/// "--- LOG END: NO FURTHER MESSAGES ---", where T is the raw type name and W the what() text of
/// the exception being handled when it derives from std::exception, and both are "UNKNOWN"
/// otherwise (no exception, or any other type). Writes the whole log to "logs/quorvel.log", then
/// calls `oldtermfunc`. If there is none, or it returns, ends the process with std::abort().
///
/// The report is written whole or not at all: into a new file in "logs/" that then replaces
/// "logs/quorvel.log" (a link or a FIFO at that name is replaced, never followed or opened; a
/// directory there is left alone; the "logs" directory is never created; a failure is silent and
/// leaves any older report as it was). It needs no memory, so it comes out whole when memory is
/// exhausted. Nothing thrown inside escapes it. One report per process: the reporting thread that
/// enters it again (its previous handler terminates again) ends the process with std::abort() at
/// once; another thread that terminates meanwhile waits for the report to end the process.
///
/// From a signal handler: calling std::terminate() (and so this handler) is the one use of the
/// module that is meant to work there. A line that was being appended at that moment is left out
/// whole, never cut. Everything else (numbers, `log`, `logstream`) may take the log's lock or
/// allocate memory and must not be used from a signal handler.
QUORVEL_API void logdumper() noexcept;
}  // namespace QUORVEL
