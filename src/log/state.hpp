// Internal: the log's state, shared by the files of this folder alone. Not installed.
//
// The log is a chain of blocks of records (log/records.hpp) that are never moved: it grows without
// copying what it holds. Every append takes the lock, so lines from several threads are whole and
// none is lost; an append stores its whole record or throws std::bad_alloc and stores nothing.
#pragma once

#include "log/timetext.hpp"
#include "platform/lock.hpp"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace QUORVEL
{
namespace detail
{
/// A block of records; its bytes follow this header. Blocks are linked oldest first.
struct block
{
    block* next;
    std::size_t capacity;
    bool reserve;  // the static reserve (log/store.cpp), not memory of the system
    char* data() { return static_cast<char*>(static_cast<void*>(this + 1)); }
};

/// Everything the log holds, guarded by `lock`. Zero-initialised before any code runs, so numbers
/// with static storage duration may log from any constructor or destructor; never destroyed.
struct logstate
{
    spinlock lock;
    block* head;
    block* tail;  // the block being written
    char* pos;    // the write position in `tail`
    char* end;    // the end of `tail`
    // The end of the last whole record. A report started from a signal handler reads up to here,
    // so a record being appended at that moment is left out instead of being read half-written.
    std::atomic<char*> committed;
    std::uint64_t textlength;  // the length of the rendered text
    std::uint64_t generation;  // changes when the log is replaced
    bool timelogged;           // a time record was written for `timesecond`
    std::int64_t timesecond;
    timecache time;
    // Set while a report has taken the log over from a signal handler: time texts are then
    // derived from the cache without the platform's time-zone code, which may hold a lock.
    bool signalsafe;
};

extern logstate state;

/// Appends one record (lock held): `op`, the header bytes, then the payload in two pieces. A line
/// (`isline`) is preceded by a time record when the second changed. `text` is the length the
/// record adds to the rendered log. Where `mayusereserve`, a record that finds no memory goes into
/// the reserve. Throws std::bad_alloc, changing nothing, when there is no room.
void appendlocked(unsigned char op, const unsigned char* header, std::size_t headerlength,
                  const char* a, std::size_t na, const char* b, std::size_t nb, bool isline,
                  std::uint64_t text, bool mayusereserve);
/// The fixed line `which`, and a line of a message of its own (`a` then `b`), lock held.
void appendfixed(line which, bool mayusereserve);
void appendtext(const char* a, std::size_t na, const char* b, std::size_t nb, bool mayusereserve);
/// Raw text, at the end of the log.
void appendraw(const char* text, std::size_t length);
/// Gives back the chain of blocks from `b` on (the reserve is marked free again).
void freeblocks(block* b);
/// Replaces the log by `text` kept as raw text; an empty text releases every block.
void logreplace(const char* text, std::size_t length);
/// The whole text of the log.
std::string logcontents();
}  // namespace detail
}  // namespace QUORVEL
