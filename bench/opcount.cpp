// Runs one operation on small numbers many times, for an instruction count under callgrind
// (bench/instructions.sh): the loop is a function of its own, so the count of that function alone
// is the count of the operations, with the log never cleared, as a program would run them.
//
// Usage: quorvel-opcount <operation> <digits> <count>
//   operation: mul (p = a * b), add (p = a + b), addinplace (a += b), mulinplace (a *= b)
#include <quorvel/quorvel.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace
{
QUORVEL::fixedint operand(std::size_t digits, std::mt19937& rng)
{
    std::string text(digits, '0');
    for (auto& c : text) c = static_cast<char>('0' + rng() % 10);
    text[0] = static_cast<char>('1' + rng() % 9);
    QUORVEL::fixedint x(digits);
    x = text;
    return x;
}

// Keeps the compiler from dropping or merging the loop's work.
void keep(const QUORVEL::fixedint& x)
{
    asm volatile("" : : "r"(&x) : "memory");
}

// The measured loops, by name for callgrind's --toggle-collect.
__attribute__((noinline)) void measured(const char* op, QUORVEL::fixedint& a,
                                        const QUORVEL::fixedint& b, QUORVEL::fixedint& p,
                                        long count)
{
    if (std::strcmp(op, "mul") == 0)
        for (long i = 0; i < count; ++i)
        {
            p = a * b;
            keep(p);
        }
    else if (std::strcmp(op, "add") == 0)
        for (long i = 0; i < count; ++i)
        {
            p = a + b;
            keep(p);
        }
    else if (std::strcmp(op, "addinplace") == 0)
        for (long i = 0; i < count; ++i)
        {
            a += b;
            keep(a);
        }
    else if (std::strcmp(op, "mulinplace") == 0)
        for (long i = 0; i < count; ++i)
        {
            a *= b;
            keep(a);
        }
    else
    {
        std::fprintf(stderr, "unknown operation %s\n", op);
        std::exit(2);
    }
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: %s mul|add|addinplace|mulinplace <digits> <count>\n", argv[0]);
        return 2;
    }
    const auto digits = static_cast<std::size_t>(std::strtoul(argv[2], nullptr, 10));
    const long count = std::strtol(argv[3], nullptr, 10);
    std::mt19937 rng(20261210);
    QUORVEL::fixedint a = operand(digits, rng), b = operand(digits, rng), p(digits);
    if (digits > 0)
        b.digits[0] = 7;  // prime to 10: repeated `a *= b` never reaches zero
    measured(argv[1], a, b, p, count);
    std::printf("%s\n", p.asstring().c_str());
    return 0;
}
