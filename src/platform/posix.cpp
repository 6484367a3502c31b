// The platform layer on POSIX systems: clock, memory, threads, files and signals.
#if !defined(_WIN32)
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/memory.hpp"
#include "platform/thread.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <unistd.h>

namespace QUORVEL
{
namespace detail
{
std::int64_t systemseconds()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

bool localcalendar(std::int64_t seconds, std::tm& out)
{
    const auto t = static_cast<std::time_t>(seconds);
    return static_cast<std::int64_t>(t) == seconds && localtime_r(&t, &out) != nullptr;
}

void* mappages(std::size_t bytes) noexcept
{
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return memory == MAP_FAILED ? nullptr : memory;
}

void unmappages(void* memory, std::size_t bytes) noexcept
{
    munmap(memory, bytes);
}

std::uintptr_t threadtag() noexcept
{
    // pthread_t is an integer or a pointer, depending on the platform.
    const pthread_t self = pthread_self();
    std::uintptr_t tag = 0;
    static_assert(sizeof self <= sizeof tag, "pthread_t does not fit a pointer-sized integer");
    std::memcpy(&tag, &self, sizeof self);
    return tag + (tag == 0 ? 1 : 0);
}

void yieldthread() noexcept
{
    sched_yield();
}

void waitforever() noexcept
{
    for (;;) pause();
}

unsigned long processid() noexcept
{
    return static_cast<unsigned long>(getpid());
}

int createfile(const char* path) noexcept
{
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open() is the POSIX interface
    return open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

long writesome(int fd, const char* data, std::size_t length) noexcept
{
    for (;;)
    {
        const ssize_t n = write(fd, data, length);
        if (n >= 0 || errno != EINTR)
            return static_cast<long>(n);
    }
}

bool closefile(int fd) noexcept
{
    return close(fd) == 0;
}

bool replacefile(const char* from, const char* to) noexcept
{
    return std::rename(from, to) == 0;
}

void removefile(const char* path) noexcept
{
    unlink(path);
}

bool lastfailureexists() noexcept
{
    return errno == EEXIST;
}

namespace
{
static_assert(sizeof(sigset_t) <= 128, "quietsignals keeps a sigset_t");

sigset_t heldsignals()
{
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, SIGPIPE);
    sigaddset(&held, SIGXFSZ);
    return held;
}

sigset_t& maskof(unsigned char* storage)
{
    return *static_cast<sigset_t*>(static_cast<void*>(storage));
}
}  // namespace

quietsignals::quietsignals() noexcept
{
    const sigset_t held = heldsignals();
    pthread_sigmask(SIG_BLOCK, &held, &maskof(before));
}

quietsignals::~quietsignals()
{
    sigset_t pending;
    sigpending(&pending);
    for (const int s : {SIGPIPE, SIGXFSZ})
        // A signal that was not held back before cannot have been pending before.
        if (sigismember(&pending, s) == 1 && sigismember(&maskof(before), s) == 0)
        {
            sigset_t one;
            sigemptyset(&one);
            sigaddset(&one, s);
            const timespec immediately{0, 0};
            sigtimedwait(&one, nullptr, &immediately);
        }
    pthread_sigmask(SIG_SETMASK, &maskof(before), nullptr);
}
}  // namespace detail
}  // namespace QUORVEL
#endif
