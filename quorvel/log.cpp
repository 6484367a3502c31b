// The module log: records in blocks, their rendering as text, `log` and the `logstream` stream.
#include "quorvel/log.hpp"

#include "quorvel/clock.hpp"
#include "quorvel/lock.hpp"
#include "quorvel/quorvel.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#if !defined(_WIN32)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace QUORVEL
{
namespace detail
{
namespace
{
// ---- Messages and record layout ----------------------------------------------------------

struct fixedmessage
{
    const char* text;
    std::size_t length;
};

template <std::size_t N>
constexpr fixedmessage message(const char (&text)[N])
{
    return {text, N - 1};
}

constexpr fixedmessage fixedmessages[] = {
    message("New fixedint object!"),
    message("Done."),
    message("Resize requested in fixedint."),
    message("Deleted fixedint object."),
    message("First fixedint/fixedfloat object created!"),
    message("Start Initialization of Quorvel Arithmetic module."),
    message("Setting up log dumper..."),
    message("Done. Init Successful"),
    message("Terminate called. Preparing report."),
    message("Opened File."),
    message("Rethrowing exception and getting type."),
    message("--- LOG END: NO FURTHER MESSAGES ---"),
};
static_assert(sizeof fixedmessages / sizeof fixedmessages[0] == std::size_t(line::count),
              "one text per fixed line");

constexpr char widthmessage[] = "Resizing Digits to: ";
constexpr std::size_t widthmessagelength = sizeof widthmessage - 1;

// "QUORVEL [", the time text, "]: ": what every line starts with.
constexpr std::size_t linehead = 9 + timetextlength + 3;
// The longest line with a fixed or width message, line feed included.
constexpr std::size_t longestline = linehead + 50 + 20 + 1;

// Record kinds (the first byte of a record).
enum : unsigned char
{
    optime,   // the time text of the lines that follow: 24 bytes
    opwidth,  // the width message: a number
    optext,   // a line with a message of its own: its length, then its bytes
    opraw,    // raw text written to the stream: its length, then its bytes
    opfixed,  // opfixed + n: the fixed message n
};

// Numbers are stored seven bits a byte, low bits first; the high bit says more follow.
std::size_t putvarint(unsigned char* out, std::uint64_t v)
{
    std::size_t n = 0;
    while (v >= 0x80)
    {
        out[n++] = static_cast<unsigned char>(v | 0x80);
        v >>= 7;
    }
    out[n++] = static_cast<unsigned char>(v);
    return n;
}

std::size_t decimallength(std::uint64_t v)
{
    std::size_t n = 1;
    while (v >= 10)
    {
        v /= 10;
        ++n;
    }
    return n;
}

// Writes v in decimal at out; returns the number of characters.
std::size_t putdecimal(char* out, std::uint64_t v)
{
    const std::size_t n = decimallength(v);
    for (std::size_t i = n; i-- > 0; v /= 10) out[i] = static_cast<char>('0' + v % 10);
    return n;
}

// ---- Blocks --------------------------------------------------------------------------------

// A block of records; its bytes follow the header. Blocks are linked oldest first and never
// moved, so the log grows without copying what it holds.
struct block
{
    block* next;
    std::size_t capacity;
    bool reserve;
    char* data() { return static_cast<char*>(static_cast<void*>(this + 1)); }
};

constexpr std::size_t blockbytes = std::size_t{256} * 1024;

// Blocks come straight from the system, so that emptying the log gives its memory back.
block* newblock(std::size_t capacity)
{
    constexpr std::size_t page = 4096;
    if (capacity > std::numeric_limits<std::size_t>::max() - sizeof(block) - page)
        return nullptr;
    const std::size_t bytes = (sizeof(block) + capacity + page - 1) / page * page;
#if defined(_WIN32)
    void* memory = std::malloc(bytes);
#else
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        memory = nullptr;
#endif
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

void freeblocks(block* b)
{
    while (b != nullptr)
    {
        block* const next = b->next;
        if (b->reserve)
            reserveinuse = false;
        else
        {
#if defined(_WIN32)
            std::free(b);
#else
            munmap(b, sizeof(block) + b->capacity);
#endif
        }
        b = next;
    }
}

// ---- The log's state -----------------------------------------------------------------------

// Everything below is guarded by `lock`. Zero-initialised before any code runs, so numbers with
// static storage duration may log from any constructor or destructor, and it is never destroyed.
struct logstate
{
    spinlock lock;
    block* head;
    block* tail;  // the block being written
    char* pos;    // the write position in `tail`
    char* end;    // the end of `tail`
    // The end of the last whole record. A report started from a signal handler reads up to here,
    // so a record being appended at that moment is left out instead of being read half-written.
    std::atomic<char*> committed;
    std::uint64_t textlength;  // the length of the rendered text
    std::uint64_t generation;  // changes when the log is replaced
    bool timelogged;           // a time record was written for `timesecond`
    std::int64_t timesecond;
    // The time text of the current second, rendered once per second.
    bool cachevalid;
    bool cachecalendarok;
    std::int64_t cachesecond;
    std::tm cachecalendar;
    char cachetext[timetextlength];
    // Set while a report has taken the log over from a signal handler: time texts are then
    // derived from the cache without the platform's time-zone code, which may hold a lock.
    bool signalsafe;
};

logstate state;

// The time text of second `s` (lock held).
const char* timetext(std::int64_t s)
{
    if (state.cachevalid && s == state.cachesecond)
        return state.cachetext;
    std::tm calendar{};
    bool ok = false;
    if (state.signalsafe && state.cachevalid)
    {
        calendar = state.cachecalendar;
        shiftcalendar(calendar, s - state.cachesecond);
        ok = state.cachecalendarok;
    }
    else
        ok = localcalendar(s, calendar);
    // The cache is marked invalid while it changes, for a report that interrupts this.
    state.cachevalid = false;
    formattime(calendar, ok, state.cachetext);
    state.cachecalendar = calendar;
    state.cachecalendarok = ok;
    state.cachesecond = s;
    state.cachevalid = true;
    return state.cachetext;
}

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

// Appends one record (lock held): `op`, then the header bytes, then the payload in two pieces.
// A line is preceded by a time record when the second changed. `text` is the length the record
// adds to the rendered log.
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
            time = timetext(second);
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
    const auto id = static_cast<unsigned char>(which);
    appendlocked(static_cast<unsigned char>(opfixed + id), nullptr, 0, nullptr, 0, nullptr, 0, true,
                 linehead + fixedmessages[id].length + 1, mayusereserve);
}

void appendtext(const char* a, std::size_t na, const char* b, std::size_t nb, bool mayusereserve)
{
    unsigned char header[10] = {};
    const std::size_t headerlength = putvarint(header, std::uint64_t{na} + nb);
    appendlocked(optext, header, headerlength, a, na, b, nb, true, linehead + na + nb + 1,
                 mayusereserve);
}

void appendraw(const char* text, std::size_t length)
{
    unsigned char header[10] = {};
    const std::size_t headerlength = putvarint(header, length);
    lockguard guard(state.lock);
    appendlocked(opraw, header, headerlength, text, length, nullptr, 0, false, length, false);
}

// ---- Rendering -----------------------------------------------------------------------------

// Reads the records from the first on and renders their text, in pieces of any size: a reader of
// the stream, `str()` and the report each use one.
class cursor
{
public:
    void start()
    {
        b = nullptr;
        p = e = nullptr;
        std::memcpy(prefix, "QUORVEL [", 9);
        std::memcpy(prefix + 9, timeplaceholder, timetextlength);
        std::memcpy(prefix + 9 + timetextlength, "]: ", 3);
        linelength = linepos = 0;
        payload = 0;
        newline = false;
        position = 0;
    }

    // Renders up to `capacity` bytes into `out` (or skips them when `out` is null) and returns
    // how many; fewer only when the records up to `stop` are all rendered.
    std::size_t read(char* out, std::size_t capacity, const char* stop)
    {
        std::size_t n = 0;
        while (n < capacity)
        {
            if (linepos < linelength)
            {
                const std::size_t k = std::min(capacity - n, linelength - linepos);
                if (out != nullptr)
                    std::memcpy(out + n, line + linepos, k);
                linepos += k;
                n += k;
            }
            else if (payload > 0)
            {
                const auto k =
                    static_cast<std::size_t>(std::min<std::uint64_t>(capacity - n, payload));
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

    // The current time text, as the last time record gave it.
    const char* lineprefix() const { return prefix; }

    std::uint64_t position = 0;  // the text offset of the next byte

private:
    void advance()
    {
        b = b->next;
        p = b->data();
        e = p + b->capacity;
    }
    unsigned char byte()
    {
        if (p == e)
            advance();
        return static_cast<unsigned char>(*p++);
    }
    std::uint64_t varint()
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
    void copy(char* out, std::size_t n)
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
    bool next(const char* stop)
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
                    copy(prefix + 9, timetextlength);
                    continue;
                case opwidth:
                {
                    std::memcpy(line, prefix, linehead);
                    std::memcpy(line + linehead, widthmessage, widthmessagelength);
                    std::size_t n = linehead + widthmessagelength;
                    n += putdecimal(line + n, varint());
                    line[n++] = '\n';
                    linelength = n;
                    break;
                }
                case optext:
                    std::memcpy(line, prefix, linehead);
                    linelength = linehead;
                    payload = varint();
                    newline = true;
                    break;
                case opraw:
                    linelength = 0;
                    payload = varint();
                    break;
                default:
                {
                    const fixedmessage& m = fixedmessages[op - opfixed];
                    std::memcpy(line, prefix, linehead);
                    std::memcpy(line + linehead, m.text, m.length);
                    line[linehead + m.length] = '\n';
                    linelength = linehead + m.length + 1;
                    break;
                }
            }
            linepos = 0;
            return true;
        }
    }

    block* b = nullptr;
    const char* p = nullptr;
    const char* e = nullptr;
    char prefix[linehead] = {};
    char line[longestline] = {};
    std::size_t linelength = 0, linepos = 0;
    std::uint64_t payload = 0;
    bool newline = false;
};

// ---- The stream ----------------------------------------------------------------------------

// The stream buffer of `logstream`: writes go to the end of the log as raw text (through a small
// put area that the stream's `unitbuf` flag empties after every output operation); reads render
// the records into a get area, from a position of their own.
class logbuf final : public std::streambuf
{
public:
    logbuf() { setp(putarea, putarea + sizeof putarea); }

    void flushput()
    {
        if (pptr() > pbase())
        {
            appendraw(pbase(), static_cast<std::size_t>(pptr() - pbase()));
            setp(putarea, putarea + sizeof putarea);
        }
    }

    // After the log was replaced, reading starts again from its beginning.
    void restart()
    {
        setg(getarea, getarea, getarea);
        started = false;
    }

protected:
    int_type overflow(int_type c) override
    {
        flushput();
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        if (n <= epptr() - pptr())
        {
            std::memcpy(pptr(), s, static_cast<std::size_t>(n));
            pbump(static_cast<int>(n));
            return n;
        }
        flushput();
        appendraw(s, static_cast<std::size_t>(n));
        return n;
    }

    int sync() override
    {
        flushput();
        return 0;
    }

    int_type underflow() override
    {
        flushput();
        lockguard guard(state.lock);
        follow();
        const std::size_t n = in.read(getarea, sizeof getarea, state.committed.load());
        setg(getarea, getarea, getarea + n);
        return n > 0 ? traits_type::to_int_type(getarea[0]) : traits_type::eof();
    }

    pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                     std::ios_base::openmode which) override
    {
        const pos_type fail(off_type(-1));
        flushput();
        lockguard guard(state.lock);
        const auto length = static_cast<off_type>(state.textlength);
        if ((which & std::ios_base::in) == 0)
        {
            // The put position is always the end: it can be told, not moved.
            return (which & std::ios_base::out) != 0 && off == 0 && dir != std::ios_base::beg
                       ? pos_type(length)
                       : fail;
        }
        follow();
        const auto here = static_cast<off_type>(in.position) - (egptr() - gptr());
        const off_type base = dir == std::ios_base::beg   ? 0
                              : dir == std::ios_base::cur ? here
                                                          : length;
        if ((off > 0 && base > length - off) || (off < 0 && base < -off))
            return fail;
        const off_type target = base + off;
        if ((which & std::ios_base::out) != 0 && target != length)
            return fail;
        const auto bufferstart = static_cast<off_type>(in.position) - (egptr() - eback());
        if (target >= bufferstart && target <= static_cast<off_type>(in.position))
        {
            setg(eback(), eback() + (target - bufferstart), egptr());
            return pos_type(target);
        }
        if (target < static_cast<off_type>(in.position))
            in.start();  // backwards: rendered again from the start
        in.read(nullptr, static_cast<std::size_t>(target - static_cast<off_type>(in.position)),
                state.committed.load());
        setg(getarea, getarea, getarea);
        return pos_type(target);
    }

    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override
    {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }

private:
    // After the log was replaced, reading starts again from its beginning (lock held).
    void follow()
    {
        if (!started || generation != state.generation)
        {
            in.start();
            generation = state.generation;
            started = true;
            setg(getarea, getarea, getarea);
        }
    }

    char putarea[256]{};
    char getarea[4096]{};
    cursor in;
    std::uint64_t generation = 0;
    bool started = false;
};
}  // namespace

// The stream and its buffer are built on first use and never destroyed: numbers with static
// storage duration log from constructors that run before this file's initialisation and from
// destructors that run after it. The union's constructor is constexpr, so `logstream` below
// refers to it from the start (constant initialisation).
struct logaccess
{
    union holder
    {
        constexpr holder() : none() {}
        ~holder() {}  // deliberately leaves the stream alive until the process ends
        holder(const holder&) = delete;
        holder& operator=(const holder&) = delete;
        holder(holder&&) = delete;
        holder& operator=(holder&&) = delete;
        char none;
        struct parts
        {
            logbuf buffer;
            logtextstream stream{&buffer};
        } built;
    };
    static holder storage;
    static bool ready;  // zero-initialised before any dynamic initialisation

    static logtextstream& stream()
    {
        if (!ready)
        {
            ::new (static_cast<void*>(&storage.built)) holder::parts();
            ready = true;
        }
        return storage.built.stream;
    }
    static logbuf& buffer()
    {
        stream();
        return storage.built.buffer;
    }
};
logaccess::holder logaccess::storage;
bool logaccess::ready;

void logline(line which)
{
    lockguard guard(state.lock);
    // The common case, a fixed line within the same second and the same block, in a few
    // instructions.
    if (state.timelogged && state.pos != state.end && now() == state.timesecond)
    {
        *state.pos++ = static_cast<char>(opfixed + static_cast<unsigned char>(which));
        state.textlength += linehead + fixedmessages[static_cast<unsigned char>(which)].length + 1;
        state.committed.store(state.pos, std::memory_order_release);
        return;
    }
    appendfixed(which, false);
}

void logwidth(std::uint64_t width)
{
    unsigned char header[10] = {};
    const std::size_t headerlength = putvarint(header, width);
    lockguard guard(state.lock);
    appendlocked(opwidth, header, headerlength, nullptr, 0, nullptr, 0, true,
                 linehead + widthmessagelength + decimallength(width) + 1, false);
}

void logtext(const char* head, std::size_t headlength, const char* tail, std::size_t taillength)
{
    lockguard guard(state.lock);
    appendtext(head, headlength, tail, taillength, false);
}

void logdeleted()
{
    lockguard guard(state.lock);
    appendfixed(line::deleted, true);
}

std::string logcontents()
{
    logaccess::buffer().flushput();
    lockguard guard(state.lock);
    std::string text(static_cast<std::size_t>(state.textlength), '\0');
    cursor c;
    c.start();
    text.resize(c.read(&text[0], text.size(), state.committed.load()));
    return text;
}

void logreplace(const char* text, std::size_t length)
{
    logaccess::buffer().flushput();
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
        unsigned char header[10] = {};
        const std::size_t headerlength = putvarint(header, length);
        try
        {
            appendlocked(opraw, header, headerlength, text, length, nullptr, 0, false, length,
                         false);
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

// ---- The report's access -------------------------------------------------------------------

reportsession::reportsession() : takenover(state.lock.heldbythisthread())
{
    if (!takenover)
    {
        state.lock.lock();
        return;
    }
    // This thread was interrupted while it appended: the record it was writing is dropped, and
    // the log continues from the last whole record.
    state.signalsafe = true;
    char* const last = state.committed.load(std::memory_order_acquire);
    block* b = state.head;
    while (b != nullptr && last != nullptr &&
           !(last >= b->data() && last <= b->data() + b->capacity))
        b = b->next;
    state.tail = b;
    state.pos = b == nullptr ? nullptr : last != nullptr ? last : b->data();
    state.end = b == nullptr ? nullptr : b->data() + b->capacity;
}

reportsession::~reportsession()
{
    if (!takenover)
        state.lock.unlock();
}

void reportsession::add(line which)
{
    if (asidecount == 0)
        try
        {
            appendfixed(which, true);
            return;
        }
        catch (const std::bad_alloc&)  // kept aside below
        {
        }
    aside[asidecount++] = {which, nullptr, nullptr};
}

void reportsession::add(const char* head, const char* tail)
{
    if (asidecount == 0)
        try
        {
            appendtext(head, std::strlen(head), tail, std::strlen(tail), true);
            return;
        }
        catch (const std::bad_alloc&)  // kept aside below
        {
        }
    aside[asidecount++] = {line::count, head, tail};
}

bool reportsession::write(bool (*sink)(void*, const char*, std::size_t), void* context)
{
    static char buffer[64 * 1024];  // one report per process
    cursor c;
    c.start();
    const char* const stop = state.committed.load(std::memory_order_acquire);
    for (std::size_t n; (n = c.read(buffer, sizeof buffer, stop)) > 0;)
        if (!sink(context, buffer, n))
            return false;
    for (std::size_t i = 0; i < asidecount; ++i)
    {
        const pending& l = aside[i];
        char prefix[linehead];
        std::memcpy(prefix, c.lineprefix(), linehead);
        std::memcpy(prefix + 9, timetext(now()), timetextlength);
        const fixedmessage m = l.which == line::count
                                   ? fixedmessage{l.head, std::strlen(l.head)}
                                   : fixedmessages[static_cast<unsigned char>(l.which)];
        const char* tail = l.which == line::count ? l.tail : "";
        if (!sink(context, prefix, linehead) || !sink(context, m.text, m.length) ||
            !sink(context, tail, std::strlen(tail)) || !sink(context, "\n", 1))
            return false;
    }
    return true;
}
}  // namespace detail

logtextstream& logstream = detail::logaccess::storage.built.stream;

detail::logbufferinit::logbufferinit()
{
    logaccess::stream();
}

logtextstream::logtextstream(std::streambuf* buffer) : std::iostream(buffer)
{
    setf(std::ios_base::unitbuf);  // every output operation reaches the log at once
}

std::string logtextstream::str() const
{
    return detail::logcontents();
}

void logtextstream::str(const std::string& text)
{
    detail::logreplace(text.data(), text.size());
    detail::logaccess::buffer().restart();
}

// By value, as documented: the function works on its own copy.
// cppcheck-suppress passedByValue
void log(std::string message)  // NOLINT(performance-unnecessary-value-param)
{
    detail::logtext(message.data(), message.size());
}
}  // namespace QUORVEL
