// Internal: the lines the library logs, as the rest of it appends them. Not installed.
#pragma once

#include "log/messages.hpp"
#include "log/records.hpp"

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

/// Lines appended as one, under one lock and one reading of the clock: the lines of one step that
/// no other work comes between (a construction's first two, the product's six). The log reads as
/// if each had been appended alone within the same second.
class linebatch
{
public:
    /// A fixed line.
    linebatch& add(line which) noexcept
    {
        records[length++] = static_cast<unsigned char>(opfixed + static_cast<unsigned char>(which));
        text += fixedlinelength(which);
        return *this;
    }
    /// "Resizing Digits to: " followed by `width` in decimal.
    linebatch& addwidth(std::uint64_t width) noexcept
    {
        records[length++] = opwidth;
        length += putvarint(records + length, width);
        text += widthlinelength(width);
        return *this;
    }
    /// Appends the lines. Throws std::bad_alloc, appending none, without memory.
    void append() const;

private:
    static constexpr std::size_t most = 6;  // lines a batch holds at most
    unsigned char records[most * (1 + longestvarint)] = {};
    std::size_t length = 0;
    std::uint64_t text = 0;
};

/// The destructor's line. When memory is exhausted it goes into a reserve kept for that purpose;
/// only when that is full too does it throw std::bad_alloc.
void logdeleted();
}  // namespace detail
}  // namespace QUORVEL
