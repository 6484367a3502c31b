// The last digits of a Fibonacci number far beyond any computer's memory, by fast doubling:
// F(2k) = F(k) (2 F(k+1) - F(k)) and F(2k+1) = F(k)^2 + F(k+1)^2, on numbers of the width wanted.
// Every result keeps its sign and its magnitude modulo 10^30, so it stays equal to the true value
// modulo 10^30; `residue()` gives the last digits as a non-negative number.
//
//   quorvel-example-fibonacci      the last 30 digits of F(10^18)
#include <quorvel/quorvel.hpp>

#include <cstdint>
#include <iostream>

int main()
{
    const std::uint64_t n = 1000000000000000000;
    QUORVEL::fixedint a(30, 0), b(30, 1);  // F(k), F(k + 1), from k = 0
    for (int bit = 63; bit >= 0; --bit)
    {
        const QUORVEL::fixedint twice = a * (b * 2 - a), next = a * a + b * b;
        a = twice;
        b = next;
        if ((n >> bit) & 1)
        {
            b += a;
            a = b - a;
        }
    }
    std::cout << "F(" << n << ") ends in " << a.residue() << '\n';
}
