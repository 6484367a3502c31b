// Internal: memory straight from the system, for the log's blocks, so that emptying the log gives
// its memory back. Not installed.
#pragma once

#include <cstddef>

namespace QUORVEL
{
namespace detail
{
/// The granularity of `mappages`.
constexpr std::size_t pagebytes = 4096;
/// `bytes` (a multiple of `pagebytes`) of zeroed memory, or null when there is none.
void* mappages(std::size_t bytes) noexcept;
/// Gives back what `mappages` gave, with the same `bytes`.
void unmappages(void* memory, std::size_t bytes) noexcept;
}  // namespace detail
}  // namespace QUORVEL
