// How long the termination report takes for a long log: logs N lines (default 10^7) in a process
// that is then terminated, and prints the time from std::terminate() to the previous handler.
// Run it in a folder with "logs/":   quorvel-bench-report [N]
#include <quorvel/quorvel.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace
{
std::chrono::steady_clock::time_point started;
}

int main(int argc, char** argv)
{
    const long lines = argc > 1 ? std::atol(argv[1]) : 10000000;
    // Installed before the first number, so that the report hands over to it.
    std::set_terminate(
        []
        {
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
            std::printf("report of the log: %.3f s\n", took.count());
            std::fflush(stdout);
            std::_Exit(0);
        });
    QUORVEL::fixedint x(3);
    for (long i = 7; i < lines - 6; ++i) QUORVEL::log("Resizing Digits to: 128");
    started = std::chrono::steady_clock::now();
    std::terminate();
}
