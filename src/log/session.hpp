// Internal: the termination report's access to the log. Not installed.
#pragma once

#include "log/messages.hpp"

#include <cstddef>

namespace QUORVEL
{
namespace detail
{
/// Made once, by the thread that reports: it holds the log lock for its lifetime, or, when that
/// thread already held it (the report started from a signal handler that interrupted an append),
/// takes the log over at its last whole record.
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
