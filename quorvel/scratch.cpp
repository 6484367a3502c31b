#include "quorvel/scratch.hpp"

#include <cassert>

namespace QUORVEL
{
namespace detail
{
namespace
{
// The kept memory lives in a trivially destructible thread_local, which lasts as long as its
// thread; a separate thread_local frees it when the thread ends and marks it finished.
struct scratchstore
{
    std::uint64_t* data;  // NOLINT(cppcoreguidelines-owning-memory): stays trivially destructible
    std::size_t size;
    bool finished;
    bool inuse;
};
thread_local scratchstore store;

struct scratchrelease
{
    scratchrelease() = default;
    scratchrelease(const scratchrelease&) = delete;
    scratchrelease& operator=(const scratchrelease&) = delete;
    scratchrelease(scratchrelease&&) = delete;
    scratchrelease& operator=(scratchrelease&&) = delete;
    ~scratchrelease()
    {
        delete[] store.data;  // NOLINT(cppcoreguidelines-owning-memory): see scratchstore
        store = {nullptr, 0, true, false};
    }
};
thread_local scratchrelease release;
}  // namespace

scratch::scratch(std::size_t limbs)
{
    if (store.finished || store.inuse)
    {
        own = std::unique_ptr<std::uint64_t[]>(new std::uint64_t[limbs]);  // written before read
        data = own.get();
        return;
    }
    (void)&release;  // makes sure the kept memory is freed when the thread ends
    if (store.size < limbs)
    {
        std::unique_ptr<std::uint64_t[]> fresh(new std::uint64_t[limbs]);
        delete[] store.data;  // NOLINT(cppcoreguidelines-owning-memory): see scratchstore
        store.data = fresh.release();
        store.size = limbs;
    }
    store.inuse = true;
    data = store.data;
}

scratch::~scratch()
{
    if (!own)
        store.inuse = false;
}
}  // namespace detail
}  // namespace QUORVEL
