// quorvel: fixed-width decimal integers, a fixed-point type and the module log.
//
// A `fixedint` is a signed integer held as a fixed number of decimal digits (its width). Values
// come in from 64-bit integers, leave as decimal text, and multiply with wrap-around to the width.
// Every notable step is written to a process-wide in-memory log; the first number made starts the
// module, which installs a termination handler that writes the log to "logs/quorvel.log" when the
// process terminates abnormally.
//
// Threads: numbers may be used from several threads at once, each thread with its own numbers.
// The log, the start-up and the report are safe for that: every line is whole, none is lost, and
// the module starts exactly once. One number shared by threads needs the caller's lock when any of
// them changes it, as any standard container does; so does the `logstream` object itself when
// threads read or write it directly (a `log` call needs none).
#pragma once

#include <cstdint>
#include <exception>
#include <istream>
#include <string>
#include <vector>

// Symbols of a shared build: only what this header declares is exported.
#if defined(QUORVEL_SHARED) && defined(_WIN32)
#if defined(QUORVEL_BUILDING)
#define QUORVEL_API __declspec(dllexport)
#else
#define QUORVEL_API __declspec(dllimport)
#endif
#elif defined(QUORVEL_SHARED)
#define QUORVEL_API __attribute__((visibility("default")))
#else
#define QUORVEL_API
#endif

namespace QUORVEL
{
class fixedfloat;
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

/// A signed decimal integer of fixed width.
///
/// `digits` holds one decimal digit (the value 0 to 9, not a character) per element, least
/// significant first; its length equals `size` after every completed operation. The sign flag
/// `negative` is independent of the digits, so a zero with the flag set ("-0") is a valid state.
/// The fields are public; an object whose fields a caller has made inconsistent (a store length
/// other than `size`, digits outside 0 to 9) is never read or written outside its store: the
/// operations work on what is there, or throw a standard exception.
// No move operations, on purpose: every copy is a deep copy, and every object, moved from or
// not, logs its own deletion.
class QUORVEL_API fixedint  // NOLINT(cppcoreguidelines-special-member-functions)
{
public:
    bool negative;       ///< Sign flag: true when the value is negative.
    std::uint64_t size;  ///< The width: the number of decimal digit positions.
    bool issigned;       ///< When false, assignment and multiplication leave the sign alone.
    bool spareflag;      ///< Travels with every copy; nothing consults it.
    std::vector<std::int8_t> digits;  ///< The digits, least significant first.

    /// Makes a zero of width `width` (`negative` false, `issigned` true, `spareflag` false).
    /// Starts the module on the first call in the process (see `setup`), then logs
    /// "New fixedint object!", "Resizing Digits to: <width>" and "Done.".
    /// Throws std::length_error or std::bad_alloc when the store cannot hold `width` digits; the
    /// lines already logged stay, and no "Done." follows them.
    explicit fixedint(std::uint64_t width);
    /// Silent copy: logs nothing and does not start the module.
    fixedint(const fixedint& other);
    /// Silent copy: the target takes the source's width, digits and flags; logs nothing.
    /// On failure (out of memory) the target is unchanged.
    fixedint& operator=(const fixedint& other);
    /// Logs "Deleted fixedint object.". A destructor cannot throw: when memory is exhausted its
    /// line goes into a small reserve kept for such lines (and for the report's), so it is not
    /// lost; only when that reserve is full too does the process end through `logdumper`.
    ~fixedint();

    /// Changes the width to `width`: growing adds zero digits at the top, shrinking keeps the
    /// value modulo 10^width. Flags are untouched. Logs "Resize requested in fixedint.",
    /// "Resizing Digits to: <width>" and "Done.". When the store cannot hold `width` digits
    /// (std::length_error or std::bad_alloc) the object keeps its old width and digits and the
    /// first two lines stay in the log without a "Done.".
    void resize(std::uint64_t width);
    /// A copy made through the size constructor: logs that constructor's three lines.
    fixedint getcopy() const;
    /// Drops the units digit (the magnitude is divided by 10, toward zero) and puts 0 at the top.
    /// The sign flag stays, also when the magnitude becomes zero. Does nothing at width 0.
    void wholeshiftr();
    /// The digits without their most significant zeros (empty for zero). Logs nothing.
    std::vector<std::int8_t> getshorteneddigits() const;

    /// Assigns `value`, keeping the width. When `issigned` is true the sign flag becomes
    /// `value < 0`; otherwise only the magnitude is stored. Logs nothing.
    /// Throws std::out_of_range("Input int bigger than size!") when the magnitude has more
    /// decimal digits than the width (every value at width 0); the number is then unchanged.
    fixedint& operator=(std::int64_t value);
    /// Decimal text: "-" when `negative` is set (also for zero), then the magnitude without
    /// leading zeros ("0" for zero). Width 0 renders as "" (or "-"). Logs nothing.
    std::string asstring() const;
    /// Takes the integer part of `value` (see `fixedfloat::getintpart`): this number gets its
    /// width, sign, flags and digits. Logs the three lines of `getintpart`, then
    /// "Deleted fixedint object." for the temporary. `value` may hold this number itself.
    fixedint& operator=(const fixedfloat& value);

    /// The product modulo 10^size, with the width of the operands. When this number's `issigned`
    /// is true the result is negative exactly when the operands' sign flags differ (a zero product
    /// can be "-0"); otherwise it is non-negative. The result has `issigned` true, `spareflag`
    /// false. `rhs` is taken by value: a named operand is copied silently.
    /// Logs the construction of a double-width scratch result and its resize back to the width.
    /// Throws std::length_error("Int sizes are not equal!") when the widths differ (before
    /// anything is logged), std::out_of_range("Input int bigger than size!") at width 0, and
    /// std::out_of_range("Report this to dev: Out of range while running multiplication! Index: N")
    /// when the operands' significant digits reach past the double-width scratch result (only
    /// possible when a caller made a digit store longer than `size`). After the scratch result was
    /// made, a failure destroys it (logging its deletion) before the exception passes on.
    fixedint operator*(fixedint rhs) const;
};

/// A fixed-point decimal: the digits of `number` with the lowest `pointpos / 2` (rounded down)
/// of them after the decimal point. Its value is `number` / 10^(pointpos / 2). Make one as
/// `QUORVEL::fixedfloat{QUORVEL::fixedint(width), pointpos}`; its `number` lives and logs as any
/// fixedint does.
class QUORVEL_API fixedfloat
{
public:
    fixedint number;
    std::uint64_t pointpos;

    /// The integer part: a copy of `number` (through `getcopy`, so its three construction lines
    /// are logged) with the fraction digits dropped, i.e. the magnitude divided by 10^(pointpos/2)
    /// toward zero. Width, sign flag (also when the result is zero: "-0"), `issigned` and
    /// `spareflag` are those of `number`. Changes nothing in this fixedfloat.
    fixedint getintpart() const;
};

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
