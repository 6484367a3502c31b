// Internal: what the termination report needs of the file system and of signals. Nothing here
// allocates memory or throws, so the report can use it when memory is exhausted. Not installed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// The calling process's number.
unsigned long processid() noexcept;
/// Creates `path` for writing; fails (-1) where anything exists at that name, and never follows a
/// link. A text file where the platform distinguishes them.
int createfile(const char* path) noexcept;
/// Writes up to `length` bytes (retrying an interrupted write); returns how many, or -1.
long writesome(int fd, const char* data, std::size_t length) noexcept;
/// Writes all `length` bytes, through short writes and interruptions; false on failure.
inline bool writeall(int fd, const char* data, std::size_t length) noexcept
{
    while (length > 0)
    {
        const long n = writesome(fd, data, length);
        if (n <= 0)
            return false;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}
bool closefile(int fd) noexcept;
/// Renames `from` over `to`, replacing what is there (a file, a link, a FIFO; not a directory).
bool replacefile(const char* from, const char* to) noexcept;
void removefile(const char* path) noexcept;
/// Whether the last failure was that the file existed.
bool lastfailureexists() noexcept;

/// Holds back, for its lifetime, the signals a write can raise (SIGPIPE, SIGXFSZ), so that a write
/// past a file size limit fails instead of ending the process another way; what the writes raised
/// is discarded before the signals are let through again. Nothing to hold on Windows.
class quietsignals
{
public:
    quietsignals() noexcept;
    ~quietsignals();
    quietsignals(const quietsignals&) = delete;
    quietsignals& operator=(const quietsignals&) = delete;
    quietsignals(quietsignals&&) = delete;
    quietsignals& operator=(quietsignals&&) = delete;

private:
    alignas(8) unsigned char before[128]{};  // the signal mask in force before (a sigset_t)
};
}  // namespace detail
}  // namespace QUORVEL
