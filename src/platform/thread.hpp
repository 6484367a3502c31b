// Internal: the identity of threads, and waiting. Not installed.
#pragma once

#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// A number that identifies the calling thread among the live ones; never 0.
std::uintptr_t threadtag() noexcept;
/// Lets another thread run.
void yieldthread() noexcept;
/// Waits until the process ends.
[[noreturn]] void waitforever() noexcept;
}  // namespace detail
}  // namespace QUORVEL
