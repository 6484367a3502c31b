// Scratch memory of the kernels, kept per thread.
#include "kernel/scratch.hpp"

namespace QUORVEL
{
namespace detail
{
namespace
{
constexpr auto slots = static_cast<std::size_t>(slot::count);

// The kept memory lives in trivially destructible thread_locals, which last as long as their
// thread; a separate thread_local frees them when the thread ends and marks them finished.
struct keptblock
{
    std::uint64_t* data;  // NOLINT(cppcoreguidelines-owning-memory): stays trivially destructible
    std::size_t size;
    bool inuse;
};
struct keptstore
{
    keptblock blocks[slots];
    bool finished;
};
thread_local keptstore store;

struct keptrelease
{
    keptrelease() = default;
    keptrelease(const keptrelease&) = delete;
    keptrelease& operator=(const keptrelease&) = delete;
    keptrelease(keptrelease&&) = delete;
    keptrelease& operator=(keptrelease&&) = delete;
    ~keptrelease()
    {
        for (keptblock& b : store.blocks)
        {
            delete[] b.data;  // NOLINT(cppcoreguidelines-owning-memory): see keptblock
            b = {nullptr, 0, false};
        }
        store.finished = true;
    }
};
thread_local keptrelease release;

keptblock& blockof(slot which)
{
    return store.blocks[static_cast<std::size_t>(which)];
}
}  // namespace

std::uint64_t* keptmemory(slot which, std::size_t limbs)
{
    if (store.finished)
        return nullptr;
    (void)&release;  // makes sure the kept memory is freed when the thread ends
    keptblock& b = blockof(which);
    if (b.size < limbs)
    {
        std::unique_ptr<std::uint64_t[]> fresh(new std::uint64_t[limbs]);  // written before read
        delete[] b.data;  // NOLINT(cppcoreguidelines-owning-memory): see keptblock
        b.data = fresh.release();
        b.size = limbs;
    }
    return b.data;
}

scratch::scratch(std::size_t limbs, slot which) : kind(which)
{
    if (!store.finished && !blockof(which).inuse)
    {
        data = keptmemory(which, limbs);
        blockof(which).inuse = true;
        return;
    }
    own = std::unique_ptr<std::uint64_t[]>(new std::uint64_t[limbs]);  // written before read
    data = own.get();
}

scratch::~scratch()
{
    if (!own)
        blockof(kind).inuse = false;
}
}  // namespace detail
}  // namespace QUORVEL
