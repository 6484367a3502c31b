// Internal: the log's records rendered as text. Not installed.
#pragma once

#include "log/records.hpp"
#include "log/state.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// Reads the records from the first on and renders their text, in pieces of any size: a reader
/// of the stream, `str()` and the report each use one. Lock held (or the log taken over).
class cursor
{
public:
    /// Back to the first record.
    void start();
    /// Renders up to `capacity` bytes into `out` (or skips them when `out` is null) and returns
    /// how many; fewer only when the records up to `stop` are all rendered.
    std::size_t read(char* out, std::size_t capacity, const char* stop);
    /// The head of the current line ("QUORVEL [<time>]: "), as the last time record gave it.
    const char* linehead() const { return prefix; }

    std::uint64_t position = 0;  ///< the text offset of the next byte

private:
    void advance();
    unsigned char byte();
    std::uint64_t varint();
    void copy(char* out, std::size_t n);
    bool next(const char* stop);

    block* b = nullptr;
    const char* p = nullptr;
    const char* e = nullptr;
    char prefix[detail::linehead] = {};
    char line[longestline()] = {};
    std::size_t linesize = 0, linepos = 0;
    std::uint64_t payload = 0;
    bool newline = false;
};
}  // namespace detail
}  // namespace QUORVEL
