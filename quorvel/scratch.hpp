// Internal: scratch memory of the kernels. Not installed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace QUORVEL
{
namespace detail
{
/// `limbs` words of scratch for one operation. Memory is kept per thread between operations, so
/// that an operation allocates nothing once the largest width was seen (fresh pages are costly);
/// after the thread's kept memory was released at its end (static destructors, atexit handlers,
/// other thread_local destructors), an operation gets memory of its own. One operation holds at
/// most one of these at a time and hands pieces of it to the routines it calls. Throws
/// std::bad_alloc.
class scratch
{
public:
    explicit scratch(std::size_t limbs);
    ~scratch();
    scratch(const scratch&) = delete;
    scratch& operator=(const scratch&) = delete;
    scratch(scratch&&) = delete;
    scratch& operator=(scratch&&) = delete;

    std::uint64_t* data = nullptr;

private:
    std::unique_ptr<std::uint64_t[]> own;
};
}  // namespace detail
}  // namespace QUORVEL
