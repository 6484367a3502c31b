// Internal: digit stores kept per thread, one small (up to 1 KiB) and one large. A number that ends
// gives its store to its thread, and the next number of that thread that needs one of about that
// size takes it: a program that makes and drops numbers of one width (every operation's result,
// every silent copy) stops calling the allocator and touching fresh pages. A thread so holds at
// most one small and one large store beyond its live numbers, until it ends. Not installed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace QUORVEL
{
namespace detail
{
/// Makes the empty `digits` a store of `n` digits, copies of from[0, n) or, where `from` is null,
/// zeros: in the thread's spare store where it has room for n and not more than twice that, else
/// in a new one. Throws what the vector throws for a new store.
void makestore(std::vector<std::int8_t>& digits, std::size_t n, const std::int8_t* from);
/// Whether `makestore` would take the thread's spare for n digits (and so cannot fail).
bool sparefits(std::size_t n) noexcept;
/// Keeps the store of a number that ends as the thread's spare of its size, in place of the one
/// kept before (which is freed).
void keepstore(std::vector<std::int8_t>& digits) noexcept;
}  // namespace detail
}  // namespace QUORVEL
