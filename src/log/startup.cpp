// The module's start-up: `setup`, and the flags it leaves.
#include "log/lines.hpp"
#include "platform/lock.hpp"

#include <quorvel/log.hpp>

#include <atomic>
#include <exception>

namespace QUORVEL
{
bool init;
std::terminate_handler oldtermfunc;

namespace
{
using detail::line;

// Zero-initialised: `started` tells every thread that the start-up is over, `setuplock` lets one
// thread do it while the others wait.
std::atomic<bool> started;
detail::spinlock setuplock;

// The start-up itself, on the thread that does it (under `setuplock`).
void start()
{
    detail::logline(line::firstobject);
    detail::logline(line::startinit);
    init = true;
    detail::logline(line::settingup);
    oldtermfunc = std::get_terminate();
    std::set_terminate(logdumper);
    detail::logline(line::initdone);
}
}  // namespace

void setup()
{
    if (started.load(std::memory_order_acquire))
        return;
    const detail::lockguard guard(setuplock);
    // Once `init` is set, every later call returns at once, also when this one fails after it.
    try
    {
        if (!init)
            start();
    }
    catch (...)
    {
        started.store(init, std::memory_order_release);
        throw;
    }
    started.store(true, std::memory_order_release);
}
}  // namespace QUORVEL
