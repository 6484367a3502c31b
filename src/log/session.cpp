// The report's access to the log: the lock held or the log taken over, report lines that cannot
// be lost, and the whole text rendered through a fixed buffer.
#include "log/session.hpp"

#include "log/render.hpp"
#include "log/state.hpp"

#include <cstring>
#include <new>

namespace QUORVEL
{
namespace detail
{
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
        std::memcpy(prefix, c.linehead(), linehead);
        std::memcpy(prefix + timeoffset, state.time.textof(now(), state.signalsafe),
                    timetextlength);
        const messagetext m =
            l.which == line::count ? messagetext{l.head, std::strlen(l.head)} : messageof(l.which);
        const char* tail = l.which == line::count ? l.tail : "";
        if (!sink(context, prefix, linehead) || !sink(context, m.text, m.length) ||
            !sink(context, tail, std::strlen(tail)) || !sink(context, "\n", 1))
            return false;
    }
    return true;
}
}  // namespace detail
}  // namespace QUORVEL
