// Internal: the lines the library logs, as the rest of it appends them. Not installed.
#pragma once

#include "log/messages.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// Appends one of the fixed lines. Throws std::bad_alloc, appending nothing, without memory.
void logline(line which);
/// Appends "Resizing Digits to: " followed by `width` in decimal.
void logwidth(std::uint64_t width);
/// Appends a line whose message is `head` followed by `tail` (any bytes, any length).
void logtext(const char* head, std::size_t headlen, const char* tail = nullptr,
             std::size_t taillen = 0);
/// The destructor's line. When memory is exhausted it goes into a reserve kept for that purpose;
/// only when that is full too does it throw std::bad_alloc.
void logdeleted();
}  // namespace detail
}  // namespace QUORVEL
