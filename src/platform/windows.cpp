// The platform layer on Windows: clock, memory, threads, files and signals. (Not built or tested
// in CI, which has no Windows machine.)
#if defined(_WIN32)
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/memory.hpp"
#include "platform/thread.hpp"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace QUORVEL
{
namespace detail
{
std::int64_t systemseconds()
{
    return static_cast<std::int64_t>(_time64(nullptr));
}

bool localcalendar(std::int64_t seconds, std::tm& out)
{
    const __time64_t t = seconds;
    return _localtime64_s(&out, &t) == 0;
}

void* mappages(std::size_t bytes) noexcept
{
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void unmappages(void* memory, std::size_t /*bytes*/) noexcept
{
    VirtualFree(memory, 0, MEM_RELEASE);
}

std::uintptr_t threadtag() noexcept
{
    return static_cast<std::uintptr_t>(GetCurrentThreadId()) + 1;
}

void yieldthread() noexcept
{
    SwitchToThread();
}

void waitforever() noexcept
{
    for (;;) Sleep(INFINITE);
}

unsigned long processid() noexcept
{
    return static_cast<unsigned long>(_getpid());
}

int createfile(const char* path) noexcept
{
    int fd = -1;
    // Text mode: each line feed is stored as the platform's line end.
    _sopen_s(&fd, path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT, _SH_DENYWR,
             _S_IREAD | _S_IWRITE);
    return fd;
}

long writesome(int fd, const char* data, std::size_t length) noexcept
{
    const unsigned chunk = length > (1u << 30) ? (1u << 30) : static_cast<unsigned>(length);
    return _write(fd, data, chunk);
}

bool closefile(int fd) noexcept
{
    return _close(fd) == 0;
}

bool replacefile(const char* from, const char* to) noexcept
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

void removefile(const char* path) noexcept
{
    _unlink(path);
}

bool lastfailureexists() noexcept
{
    return errno == EEXIST;
}

quietsignals::quietsignals() noexcept = default;
quietsignals::~quietsignals() = default;
}  // namespace detail
}  // namespace QUORVEL
#endif
