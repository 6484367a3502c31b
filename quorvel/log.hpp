// Internal: the module log kept as records, and what the number operations and the report need
// of it. Not installed.
//
// The log is a sequence of records in blocks that are never moved: most lines are one of a few
// fixed messages (one byte), the width message carries its number, a caller's message its bytes,
// and text written to `logstream` is kept as raw text. The time text is recorded only when the
// second changes. Text is rendered only when someone reads the log.
//
// Every append takes the log lock, so lines from several threads are whole and none is lost.
// An append either stores its whole record or throws std::bad_alloc and stores nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace QUORVEL
{
namespace detail
{
/// The module's fixed messages.
enum class line : unsigned char
{
    newobject,        // "New fixedint object!"
    done,             // "Done."
    resizerequested,  // "Resize requested in fixedint."
    deleted,          // "Deleted fixedint object."
    firstobject,      // "First fixedint/fixedfloat object created!"
    startinit,        // "Start Initialization of Quorvel Arithmetic module."
    settingup,        // "Setting up log dumper..."
    initdone,         // "Done. Init Successful"
    terminatecalled,  // "Terminate called. Preparing report."
    openedfile,       // "Opened File."
    rethrowing,       // "Rethrowing exception and getting type."
    logend,           // "--- LOG END: NO FURTHER MESSAGES ---"
    count
};

/// Appends one of the fixed lines.
void logline(line which);
/// Appends "Resizing Digits to: " followed by `width` in decimal.
void logwidth(std::uint64_t width);
/// Appends a line whose message is `head` followed by `tail` (any bytes, any length).
void logtext(const char* head, std::size_t headlen, const char* tail = nullptr,
             std::size_t taillen = 0);
/// The destructor's line. When memory is exhausted it goes into a reserve kept for that purpose;
/// only when that is full too does it throw std::bad_alloc.
void logdeleted();

/// The whole text of the log.
std::string logcontents();
/// Replaces the log by `text` kept as raw text; an empty text releases every block.
void logreplace(const char* text, std::size_t len);

/// The report's access to the log. Made once, by the thread that reports: it holds the log lock
/// for its lifetime, or, when that thread already held it (the report started from a signal
/// handler that interrupted an append), takes the log over at its last whole record.
class reportsession
{
public:
    reportsession();
    ~reportsession();
    reportsession(const reportsession&) = delete;
    reportsession& operator=(const reportsession&) = delete;
    reportsession(reportsession&&) = delete;
    reportsession& operator=(reportsession&&) = delete;

    /// Appends a report line. Nothing is lost when memory is exhausted: a line that finds no room
    /// (nor room in the reserve) is kept aside and written after the log by `write`.
    void add(line which);
    void add(const char* head, const char* tail);
    /// Renders the log and the lines kept aside into `sink` through a fixed buffer; no memory is
    /// allocated. `sink(data, length)` returns false to stop. Returns false when it stopped.
    bool write(bool (*sink)(void* context, const char* data, std::size_t length), void* context);

private:
    struct pending
    {
        line which;
        const char* head;
        const char* tail;
    };
    bool takenover;
    pending aside[8]{};
    std::size_t asidecount = 0;
};
}  // namespace detail
}  // namespace QUORVEL
