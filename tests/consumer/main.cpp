// A client of the library: 12345678901234567890 squared, last 30 digits.
#include <quorvel/quorvel.hpp>

#include <iostream>

int main()
{
    QUORVEL::fixedint x(30);
    x = std::int64_t{1234567890123456789};
    std::cout << (x * x).asstring() << '\n';
}
