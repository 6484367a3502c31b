// Termination scenarios, one per run, named by the first argument. Every one ends the process.
#include "quorvel/quorvel.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>

struct userfault : std::runtime_error
{
    userfault() : std::runtime_error("a user's fault") {}
};
struct plainfault  // not a std::exception
{
};

namespace
{
void escapes() noexcept(false)
{
    throw std::logic_error("escaped a noexcept function");
}
void guarded() noexcept
{
    escapes();
}
struct throwsonunwind
{
    ~throwsonunwind() noexcept(false)
    {
        throw std::runtime_error("second, thrown while unwinding");
    }
};
}  // namespace

int main(int argc, char** argv)
{
    const std::string scenario = argc > 1 ? argv[1] : "";
    if (scenario == "direct")
        QUORVEL::logdumper();  // before the module started: no previous handler
    if (scenario == "returning")
        std::set_terminate([] { std::fputs("previous handler returned\n", stderr); });
    if (scenario == "exiting")
        std::set_terminate(
            []
            {
                std::fputs("previous handler ran\n", stderr);
                std::_Exit(3);
            });

    QUORVEL::fixedint x(3);
    if (scenario == "range")
        x = std::int64_t{1000};
    else if (scenario == "length")
        x.resize(UINT64_MAX);  // beyond what any vector can hold: std::length_error
    else if (scenario == "badalloc")
        x.resize(std::uint64_t{1} << 62);  // more than memory can hold: std::bad_alloc
    else if (scenario == "custom")
        throw userfault();
    else if (scenario == "int")
        throw 42;
    else if (scenario == "plain")
        throw plainfault();
    else if (scenario == "noexcept")
        guarded();
    else if (scenario == "unwinding")
    {
        throwsonunwind t;
        throw std::runtime_error("first");
    }
    else if (scenario == "badlog")
    {
        // A log stream that throws on every write: the handler must still write and hand over.
        QUORVEL::logstream.setstate(std::ios::badbit);
        try
        {
            QUORVEL::logstream.exceptions(std::ios::badbit);
        }
        catch (const std::ios::failure&)
        {
        }
    }
    std::terminate();
}
