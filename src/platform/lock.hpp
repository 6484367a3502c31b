// Internal: the lock of the module log. Not installed.
#pragma once

#include "platform/thread.hpp"

#include <atomic>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// A lock held for a few nanoseconds at a time: one compare-and-swap when free. It knows which
/// thread holds it, so that a report started on that very thread (from a signal handler that
/// interrupted it) does not wait for itself. For objects of static storage duration only, which
/// are zero-initialised before anything runs, so it works in any static constructor or destructor.
class spinlock
{
public:
    void lock() noexcept
    {
        const std::uintptr_t self = threadtag();
        std::uintptr_t expected = 0;
        while (!owner.compare_exchange_weak(expected, self, std::memory_order_acquire,
                                            std::memory_order_relaxed))
        {
            wait();
            expected = 0;
        }
    }
    void unlock() noexcept { owner.store(0, std::memory_order_release); }
    bool heldbythisthread() const noexcept
    {
        return owner.load(std::memory_order_relaxed) == threadtag();
    }

private:
    void wait() noexcept
    {
        for (int spin = 0; owner.load(std::memory_order_relaxed) != 0; ++spin)
            if (spin >= 64)
            {
                yieldthread();
                spin = 0;
            }
    }
    std::atomic<std::uintptr_t> owner;  // the holder's threadtag, 0 when free
};

/// Holds a spinlock for a scope.
class lockguard
{
public:
    explicit lockguard(spinlock& l) noexcept : lock(l) { lock.lock(); }
    ~lockguard() { lock.unlock(); }
    lockguard(const lockguard&) = delete;
    lockguard& operator=(const lockguard&) = delete;
    lockguard(lockguard&&) = delete;
    lockguard& operator=(lockguard&&) = delete;

private:
    spinlock& lock;
};
}  // namespace detail
}  // namespace QUORVEL
