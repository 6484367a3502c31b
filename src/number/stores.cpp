// The spare digit store of each thread. It lives in trivially destructible thread-local storage
// (numbers end in static destructors and at thread exit, in any order); a separate thread_local
// frees it when the thread ends, after which stores are neither kept nor taken.
#include "number/stores.hpp"

#include <new>
#include <utility>

namespace QUORVEL
{
namespace detail
{
namespace
{
using store = std::vector<std::int8_t>;

// Stores of up to this many bytes are kept: the widths most programs use; a larger one costs far
// more in its arithmetic than in its allocation.
constexpr std::size_t keptbytes = 1024;

struct spare
{
    alignas(store) unsigned char bytes[sizeof(store)];
    bool held;      // `bytes` holds a store
    bool finished;  // the thread is ending: keep nothing more
    store& get() { return *std::launder(static_cast<store*>(static_cast<void*>(bytes))); }
};
thread_local spare kept;

struct sparerelease
{
    sparerelease() = default;
    sparerelease(const sparerelease&) = delete;
    sparerelease& operator=(const sparerelease&) = delete;
    sparerelease(sparerelease&&) = delete;
    sparerelease& operator=(sparerelease&&) = delete;
    ~sparerelease()
    {
        if (kept.held)
            kept.get().~store();
        kept.held = false;
        kept.finished = true;
    }
};
thread_local sparerelease release;
}  // namespace

bool sparefits(std::size_t n) noexcept
{
    if (!kept.held || n == 0)
        return false;
    const std::size_t room = kept.get().capacity();
    return room >= n && room / 2 <= n;
}

void makestore(store& digits, std::size_t n, const std::int8_t* from)
{
    if (sparefits(n))
    {
        digits.swap(kept.get());
        kept.get().~store();
        kept.held = false;
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
    if (kept.held || kept.finished || room == 0 || room > keptbytes)
        return;
    (void)&release;  // makes sure the spare is freed when the thread ends
    ::new (static_cast<void*>(kept.bytes)) store(std::move(digits));
    kept.held = true;
}
}  // namespace detail
}  // namespace QUORVEL
