// The spare digit stores of each thread: one for a small store, one for a large one. They live in
// trivially destructible thread-local storage (numbers end in static destructors and at thread
// exit, in any order); a separate thread_local frees them when the thread ends, after which stores
// are neither kept nor taken.
#include "number/stores.hpp"

#include "kernel/compiler.hpp"

#include <new>
#include <utility>

namespace QUORVEL
{
namespace detail
{
namespace
{
using store = std::vector<std::int8_t>;

// Stores of up to this many bytes go to the small spare (the widths most programs use, where the
// allocator's call is much of an operation's cost), longer ones to the large spare (where the
// system's fresh pages are: above 32 MiB the allocator maps every store anew, and the first touch
// of its pages costs as much as a long product).
constexpr std::size_t smallbytes = 1024;

struct spare
{
    alignas(store) unsigned char bytes[sizeof(store)];
    bool held;  // `bytes` holds a store
    store& get() { return *std::launder(static_cast<store*>(static_cast<void*>(bytes))); }
};
struct spares
{
    spare sizes[2];  // small, large
    bool finished;   // the thread is ending: keep nothing more
};
thread_local spares kept;

bool large(std::size_t bytes) noexcept
{
    return bytes > smallbytes;
}

spare& spareof(std::size_t bytes) noexcept
{
    return kept.sizes[large(bytes) ? 1 : 0];
}

bool fits(spare& s, std::size_t n) noexcept
{
    if (!s.held || n == 0)
        return false;
    const std::size_t room = s.get().capacity();
    return room >= n && room / 2 <= n;
}

struct sparerelease
{
    sparerelease() = default;
    sparerelease(const sparerelease&) = delete;
    sparerelease& operator=(const sparerelease&) = delete;
    sparerelease(sparerelease&&) = delete;
    sparerelease& operator=(sparerelease&&) = delete;
    ~sparerelease()
    {
        for (spare& s : kept.sizes)
        {
            if (s.held)
                s.get().~store();
            s.held = false;
        }
        kept.finished = true;
    }
};
thread_local sparerelease release;
}  // namespace

namespace
{
// Keeps `digits` in `s`, in place of what `s` held (freed).
void keepin(spare& s, store& digits) noexcept
{
    (void)&release;  // makes sure the spares are freed when the thread ends
    if (!s.held)
    {
        ::new (static_cast<void*>(s.bytes)) store(std::move(digits));
        s.held = true;
        return;
    }
    s.get() = std::move(digits);  // the newest is kept: the width a program works at now
}

// The large spare's side, out of the way of the small one's.
QUORVEL_NOINLINE void keeplarge(store& digits) noexcept
{
    keepin(spareof(digits.capacity()), digits);
}
}  // namespace

bool sparefits(std::size_t n) noexcept
{
    return fits(spareof(n), n);
}

void makestore(store& digits, std::size_t n, const std::int8_t* from)
{
    spare& s = spareof(n);
    if (fits(s, n))
    {
        digits.swap(s.get());
        s.get().~store();
        s.held = false;
        // Within the capacity: no allocation, nothing that can fail.
        if (from != nullptr)
            digits.assign(from, from + n);
        else
            digits.assign(n, 0);
        return;
    }
    if (from != nullptr)
        digits.assign(from, from + n);
    else
        digits.resize(n);
}

void keepstore(store& digits) noexcept
{
    const std::size_t room = digits.capacity();
    if (room == 0 || kept.finished)
        return;
    if (large(room))
        keeplarge(digits);
    else
        keepin(spareof(room), digits);
}
}  // namespace detail
}  // namespace QUORVEL
