// The `logstream` stream over the log, and `log`.
#include "log/lines.hpp"
#include "log/render.hpp"
#include "log/state.hpp"

#include <quorvel/log.hpp>

#include <cstring>
#include <new>

namespace QUORVEL
{
namespace detail
{
namespace
{
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
        // Compared so that nothing overflows: base is in [0, length], so -base and length - off
        // (for off > 0) are representable whatever off is.
        if ((off > 0 && base > length - off) || (off < 0 && off < -base))
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
}  // namespace detail

logtextstream& logstream = detail::logaccess::storage.built.stream;

detail::logbufferinit::logbufferinit()
{
    detail::logaccess::stream();
}

logtextstream::logtextstream(std::streambuf* buffer) : std::iostream(buffer)
{
    setf(std::ios_base::unitbuf);  // every output operation reaches the log at once
}

std::string logtextstream::str() const
{
    detail::logaccess::buffer().flushput();
    return detail::logcontents();
}

void logtextstream::str(const std::string& text)
{
    detail::logaccess::buffer().flushput();
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
