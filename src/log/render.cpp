// The text of the log, rendered from its records.
#include "log/render.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace QUORVEL
{
namespace detail
{
void cursor::start()
{
    b = nullptr;
    p = e = nullptr;
    std::memcpy(prefix, lineprefix.text, lineprefix.length);
    std::memcpy(prefix + timeoffset, timeplaceholder, timetextlength);
    std::memcpy(prefix + timeoffset + timetextlength, lineseparator.text, lineseparator.length);
    linesize = linepos = 0;
    payload = 0;
    newline = false;
    position = 0;
}

std::size_t cursor::read(char* out, std::size_t capacity, const char* stop)
{
    std::size_t n = 0;
    while (n < capacity)
    {
        if (linepos < linesize)
        {
            const std::size_t k = std::min(capacity - n, linesize - linepos);
            if (out != nullptr)
                std::memcpy(out + n, line + linepos, k);
            linepos += k;
            n += k;
        }
        else if (payload > 0)
        {
            const auto k = static_cast<std::size_t>(std::min<std::uint64_t>(capacity - n, payload));
            copy(out != nullptr ? out + n : nullptr, k);
            payload -= k;
            n += k;
        }
        else if (newline)
        {
            if (out != nullptr)
                out[n] = '\n';
            newline = false;
            ++n;
        }
        else if (!next(stop))
            break;
    }
    position += n;
    return n;
}

void cursor::advance()
{
    b = b->next;
    p = b->data();
    e = p + b->capacity;
}

unsigned char cursor::byte()
{
    if (p == e)
        advance();
    return static_cast<unsigned char>(*p++);
}

std::uint64_t cursor::varint()
{
    std::uint64_t v = 0;
    for (int shift = 0;; shift += 7)
    {
        const unsigned char c = byte();
        v |= std::uint64_t{c & 0x7Fu} << shift;
        if ((c & 0x80) == 0)
            return v;
    }
}

void cursor::copy(char* out, std::size_t n)
{
    while (n > 0)
    {
        if (p == e)
            advance();
        const std::size_t k = std::min(n, static_cast<std::size_t>(e - p));
        if (out != nullptr)
        {
            std::memcpy(out, p, k);
            out += k;
        }
        p += k;
        n -= k;
    }
}

// Decodes the next line or raw text into the pending state; false at `stop`.
bool cursor::next(const char* stop)
{
    for (;;)
    {
        if (b == nullptr)  // started on an empty log: its first block, once there is one
        {
            if (state.head == nullptr)
                return false;
            b = state.head;
            p = b->data();
            e = p + b->capacity;
        }
        if (p == stop)
            return false;
        const unsigned char op = byte();
        switch (op)
        {
            case optime:
                copy(prefix + timeoffset, timetextlength);
                continue;
            case opwidth:
            {
                std::memcpy(line, prefix, detail::linehead);
                std::memcpy(line + detail::linehead, widthmessage.text, widthmessage.length);
                std::size_t n = detail::linehead + widthmessage.length;
                n += putdecimal(line + n, varint());
                line[n++] = '\n';
                linesize = n;
                break;
            }
            case optext:
                std::memcpy(line, prefix, detail::linehead);
                linesize = detail::linehead;
                payload = varint();
                newline = true;
                break;
            case opraw:
                linesize = 0;
                payload = varint();
                break;
            default:
            {
                const messagetext& m = fixedmessages[op - opfixed];
                std::memcpy(line, prefix, detail::linehead);
                std::memcpy(line + detail::linehead, m.text, m.length);
                line[detail::linehead + m.length] = '\n';
                linesize = static_cast<std::size_t>(linelength(m.length));
                break;
            }
        }
        linepos = 0;
        return true;
    }
}

std::string logcontents()
{
    lockguard guard(state.lock);
    std::string text(static_cast<std::size_t>(state.textlength), '\0');
    cursor c;
    c.start();
    const std::size_t rendered = c.read(&text[0], text.size(), state.committed.load());
    // The kept length and the renderer must agree, or the text would be cut here.
    [[maybe_unused]] const bool whole =
        rendered == text.size() && c.read(nullptr, 1, state.committed.load()) == 0;
    assert(whole);
    text.resize(rendered);
    return text;
}
}  // namespace detail
}  // namespace QUORVEL
