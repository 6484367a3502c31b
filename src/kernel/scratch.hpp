// Internal: scratch memory of the kernels. Not installed.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace QUORVEL
{
namespace detail
{
/// Kinds of kept memory: each kernel keeps its own, so that a transform inside a division does
/// not take the division's memory.
enum class slot : unsigned
{
    kernel,     // products, powers, divisions
    transform,  // the number-theoretic transform's arrays
    roots,      // the transform's tables of roots of unity
    count
};

/// Memory kept per thread between operations, so that an operation allocates nothing once the
/// largest width was seen (fresh pages are costly): the block of `which`, grown to at least
/// `limbs` words (what it held is not kept when it grows). Returns null after the thread's kept
/// memory was released at its end (in static destructors, atexit handlers, other thread_local
/// destructors): the caller then uses memory of its own. Throws std::bad_alloc.
std::uint64_t* keptmemory(slot which, std::size_t limbs);

/// `limbs` words of scratch for one operation: the kept memory of `which`, or memory of its own
/// when that is released or already in use by an operation further up the stack. One operation
/// holds at most one of these per slot and hands pieces of it to the routines it calls. Throws
/// std::bad_alloc.
class scratch
{
public:
    explicit scratch(std::size_t limbs, slot which = slot::kernel);
    ~scratch();
    scratch(const scratch&) = delete;
    scratch& operator=(const scratch&) = delete;
    scratch(scratch&&) = delete;
    scratch& operator=(scratch&&) = delete;

    std::uint64_t* data = nullptr;

private:
    std::unique_ptr<std::uint64_t[]> own;
    slot kind;
};

/// Hands out pieces of one scratch allocation. Passed by value, so that a routine's pieces are
/// free again when it returns.
class arena
{
public:
    arena(std::uint64_t* base, std::size_t limbs) : next(base), left(limbs) {}
    std::uint64_t* take(std::size_t limbs)
    {
        assert(limbs <= left && "scratch bound too small");
        std::uint64_t* piece = next;
        next += limbs;
        left -= limbs;
        return piece;
    }

private:
    std::uint64_t* next;
    std::size_t left;
};
}  // namespace detail
}  // namespace QUORVEL
