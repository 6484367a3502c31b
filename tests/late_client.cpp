// Products at every stage of a process: in main, at thread exit, in an atexit handler and in a
// static destructor, all after the first product made the kernel's scratch memory. Prints
// "late products: ok" from the last of them, or exits with 1.
#include <quorvel/quorvel.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace
{
// Squares are checked against: python3 -c "print(12345678901**2, 98765432109**2, 5555555555**2)"
void checksquare(std::int64_t v, const char* want, const char* stage)
{
    QUORVEL::fixedint x(40);
    x = v;
    if ((x * x).asstring() != want)
    {
        std::fprintf(stderr, "wrong product %s\n", stage);
        std::_Exit(1);
    }
}

struct atthreadexit
{
    atthreadexit() = default;
    atthreadexit(const atthreadexit&) = delete;
    atthreadexit& operator=(const atthreadexit&) = delete;
    ~atthreadexit() { checksquare(98765432109, "9754610579677488187881", "at thread exit"); }
};

struct atstaticdestruction
{
    atstaticdestruction() = default;
    atstaticdestruction(const atstaticdestruction&) = delete;
    atstaticdestruction& operator=(const atstaticdestruction&) = delete;
    ~atstaticdestruction()
    {
        checksquare(5555555555, "30864197524691358025", "in a static destructor");
        std::puts("late products: ok");
    }
} last;
}  // namespace

int main()
{
    checksquare(12345678901, "152415787526596567801", "in main");
    std::thread(
        []
        {
            checksquare(5555555555, "30864197524691358025", "in a thread");
            thread_local atthreadexit t;
            (void)&t;
        })
        .join();
    std::atexit([] { checksquare(12345678901, "152415787526596567801", "in an atexit handler"); });
    return 0;
}
