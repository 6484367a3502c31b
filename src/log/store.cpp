// The log's store: blocks of records, the reserve, and every way a record is appended.
#include "log/lines.hpp"
#include "log/records.hpp"
#include "log/state.hpp"
#include "platform/memory.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace QUORVEL
{
namespace detail
{
logstate state;

namespace
{
constexpr std::size_t blockbytes = std::size_t{256} * 1024;

// Blocks come straight from the system, so that emptying the log gives its memory back.
block* newblock(std::size_t capacity)
{
    if (capacity > std::numeric_limits<std::size_t>::max() - sizeof(block) - pagebytes)
        return nullptr;
    const std::size_t bytes = (sizeof(block) + capacity + pagebytes - 1) / pagebytes * pagebytes;
    void* memory = mappages(bytes);
    if (memory == nullptr)
        return nullptr;
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): blocks are owned by the log's chain
    return ::new (memory) block{nullptr, bytes - sizeof(block), false};
}

// The reserve: a block of static storage for the lines that must not fail (a destructor's, the
// report's) when the system has no memory left. It costs nothing until it is touched.
alignas(block) unsigned char reservearea[64 * 1024];
bool reserveinuse;

block* reserveblock(std::size_t capacity)
{
    if (reserveinuse || capacity > sizeof reservearea - sizeof(block))
        return nullptr;
    reserveinuse = true;
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): the reserve is static storage
    return ::new (static_cast<void*>(reservearea))
        block{nullptr, sizeof reservearea - sizeof(block), true};
}

}  // namespace

void freeblocks(block* b)
{
    while (b != nullptr)
    {
        block* const next = b->next;
        if (b->reserve)
            reserveinuse = false;
        else
            unmappages(b, sizeof(block) + b->capacity);
        b = next;
    }
}

namespace
{
// Writes bytes from the write position on, moving into the blocks linked after it.
struct writer
{
    block* b;
    char* p;
    char* e;
    void put(const void* source, std::size_t n)
    {
        const char* s = static_cast<const char*>(source);
        while (n > 0)
        {
            if (p == e)
            {
                b = b->next;
                p = b->data();
                e = p + b->capacity;
            }
            const std::size_t k = std::min(n, static_cast<std::size_t>(e - p));
            std::memcpy(p, s, k);
            p += k;
            s += k;
            n -= k;
        }
    }
};

// Makes room for `n` more bytes (lock held): the rest of the tail block, any blocks already linked
// after it, and else a new block. Throws std::bad_alloc, changing nothing, when there is no
// memory (and no reserve, where the caller may use it).
void makeroom(std::size_t n, bool mayusereserve)
{
    std::size_t room = 0;
    block* last = state.tail;
    if (last != nullptr)
    {
        room = static_cast<std::size_t>(state.end - state.pos);
        while (last->next != nullptr && room < n)
        {
            last = last->next;
            room += last->capacity;
        }
    }
    if (room >= n)
        return;
    const std::size_t need = n - room;
    block* fresh = newblock(std::max(need, blockbytes - sizeof(block)));
    if (fresh == nullptr && mayusereserve)
        fresh = reserveblock(need);
    if (fresh == nullptr)
        throw std::bad_alloc();
    if (last == nullptr)
    {
        state.head = state.tail = fresh;
        state.pos = fresh->data();
        state.end = state.pos + fresh->capacity;
    }
    else
        last->next = fresh;
}
}  // namespace

void appendlocked(unsigned char op, const unsigned char* header, std::size_t headerlength,
                  const char* a, std::size_t na, const char* b, std::size_t nb, bool isline,
                  std::uint64_t text, bool mayusereserve)
{
    std::int64_t second = 0;
    const char* time = nullptr;
    if (isline)
    {
        second = now();
        if (!state.timelogged || second != state.timesecond)
            time = state.time.textof(second, state.signalsafe);
    }
    const std::size_t size =
        (time != nullptr ? 1 + timetextlength : 0) + 1 + headerlength + na + nb;
    if (time == nullptr && static_cast<std::size_t>(state.end - state.pos) >= size)
    {
        // The common case: the record fits the tail block.
        char* p = state.pos;
        *p++ = static_cast<char>(op);
        if (headerlength > 0)
            std::memcpy(p, header, headerlength);
        p += headerlength;
        if (na > 0)
            std::memcpy(p, a, na);
        p += na;
        if (nb > 0)
            std::memcpy(p, b, nb);
        state.pos = p + nb;
        state.textlength += text;
        state.committed.store(state.pos, std::memory_order_release);
        return;
    }
    makeroom(size, mayusereserve);
    writer w{state.tail, state.pos, state.end};
    if (time != nullptr)
    {
        const unsigned char t = optime;
        w.put(&t, 1);
        w.put(time, timetextlength);
    }
    w.put(&op, 1);
    w.put(header, headerlength);
    w.put(a, na);
    w.put(b, nb);
    state.tail = w.b;
    state.pos = w.p;
    state.end = w.e;
    state.textlength += text;
    state.committed.store(state.pos, std::memory_order_release);
    if (time != nullptr)
    {
        state.timelogged = true;
        state.timesecond = second;
    }
}

void appendfixed(line which, bool mayusereserve)
{
    const auto op = static_cast<unsigned char>(opfixed + static_cast<unsigned char>(which));
    appendlocked(op, nullptr, 0, nullptr, 0, nullptr, 0, true, fixedlinelength(which),
                 mayusereserve);
}

void appendtext(const char* a, std::size_t na, const char* b, std::size_t nb, bool mayusereserve)
{
    unsigned char header[longestvarint] = {};
    const std::size_t headerlength = putvarint(header, std::uint64_t{na} + nb);
    appendlocked(optext, header, headerlength, a, na, b, nb, true, textlinelength(na + nb),
                 mayusereserve);
}

namespace
{
void appendrawlocked(const char* text, std::size_t length)
{
    unsigned char header[longestvarint] = {};
    const std::size_t headerlength = putvarint(header, length);
    appendlocked(opraw, header, headerlength, text, length, nullptr, 0, false, length, false);
}
}  // namespace

void appendraw(const char* text, std::size_t length)
{
    lockguard guard(state.lock);
    appendrawlocked(text, length);
}

namespace
{
// Appends records that are whole lines in a few instructions where they fit the tail block and
// the second has not changed (lock held); false otherwise, with nothing appended.
inline bool appendquick(const unsigned char* records, std::size_t length, std::uint64_t text)
{
    if (!state.timelogged || static_cast<std::size_t>(state.end - state.pos) < length ||
        now() != state.timesecond)
        return false;
    std::memcpy(state.pos, records, length);
    state.pos += length;
    state.textlength += text;
    state.committed.store(state.pos, std::memory_order_release);
    return true;
}
}  // namespace

void logline(line which)
{
    const auto op = static_cast<unsigned char>(opfixed + static_cast<unsigned char>(which));
    lockguard guard(state.lock);
    if (!appendquick(&op, 1, fixedlinelength(which)))
        appendfixed(which, false);
}

void linebatch::append() const
{
    lockguard guard(state.lock);
    if (length > 0 && !appendquick(records, length, text))
        appendlocked(records[0], records + 1, length - 1, nullptr, 0, nullptr, 0, true, text,
                     false);
}

void logwidth(std::uint64_t width)
{
    linebatch().addwidth(width).append();
}

void logtext(const char* head, std::size_t headlength, const char* tail, std::size_t taillength)
{
    lockguard guard(state.lock);
    appendtext(head, headlength, tail, taillength, false);
}

void logdeleted()
{
    constexpr auto op =
        static_cast<unsigned char>(opfixed + static_cast<unsigned char>(line::deleted));
    lockguard guard(state.lock);
    if (!appendquick(&op, 1, fixedlinelength(line::deleted)))
        appendfixed(line::deleted, true);
}

void logreplace(const char* text, std::size_t length)
{
    lockguard guard(state.lock);
    // The new text is stored first, so that the log stays as it was when there is no memory.
    block* const oldhead = state.head;
    block* const oldtail = state.tail;
    char* const oldpos = state.pos;
    char* const oldend = state.end;
    char* const oldcommitted = state.committed.load(std::memory_order_relaxed);
    const std::uint64_t oldlength = state.textlength;
    const bool oldtimelogged = state.timelogged;
    state.head = state.tail = nullptr;
    state.pos = state.end = nullptr;
    state.committed.store(nullptr, std::memory_order_relaxed);
    state.textlength = 0;
    state.timelogged = false;
    if (length > 0)
    {
        try
        {
            appendrawlocked(text, length);
        }
        catch (...)
        {
            state.head = oldhead;
            state.tail = oldtail;
            state.pos = oldpos;
            state.end = oldend;
            state.committed.store(oldcommitted, std::memory_order_relaxed);
            state.textlength = oldlength;
            state.timelogged = oldtimelogged;
            throw;
        }
    }
    ++state.generation;
    freeblocks(oldhead);
}
}  // namespace detail
}  // namespace QUORVEL
