// A client with a number of static storage duration, made before main and destroyed after it.
// Built twice, with the module's objects linked after and before this file.
#include <quorvel/quorvel.hpp>

#include <cstdio>

namespace
{
// Defined first, so destroyed last: prints the log once the number below has been destroyed.
struct printlog
{
    printlog() = default;
    printlog(const printlog&) = delete;
    printlog& operator=(const printlog&) = delete;
    ~printlog() { std::fputs(QUORVEL::logstream.str().c_str(), stdout); }
} printer;

QUORVEL::fixedint early(5);
}  // namespace

int main()
{
    early = std::int64_t{-12345};
    return early.asstring() == "-12345" ? 0 : 1;
}
