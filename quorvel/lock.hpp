// Internal: the lock of the module log and the identity of threads. Not installed.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#endif

namespace QUORVEL
{
namespace detail
{
/// A number that identifies the calling thread among the live ones; never 0.
inline std::uintptr_t threadtag() noexcept
{
#if defined(_WIN32)
    return static_cast<std::uintptr_t>(GetCurrentThreadId()) + 1;
#else
    // pthread_t is an integer or a pointer, depending on the platform.
    const pthread_t self = pthread_self();
    std::uintptr_t tag = 0;
    static_assert(sizeof self <= sizeof tag, "pthread_t does not fit a pointer-sized integer");
    std::memcpy(&tag, &self, sizeof self);
    return tag + (tag == 0 ? 1 : 0);
#endif
}

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
#if defined(_WIN32)
                SwitchToThread();
#else
                sched_yield();
#endif
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
