// Prints 4294967295 to the fourth power, then ends through the module's termination report.
#include <quorvel/quorvel.hpp>

#include <cstdint>
#include <exception>
#include <iostream>

int main(int /*argc*/, char** /*argv*/)
{
    QUORVEL::fixedint base(128);
    base = std::int64_t{4294967295};  // 2^32 - 1
    // One statement: the copies and products are temporaries of this expression, destroyed only
    // after the line is out. The outer product takes the inner one on its right without a copy.
    std::cout << ((base * base) * (base * base)).asstring() << std::endl;  // flushed before abort
    std::terminate();
}
