// The last N decimal digits of a huge power, by square-and-multiply. A fixedint of width N keeps
// exactly the last N digits of every product, so nothing larger than N digits is ever formed.
//
//   quorvel-example-lastdigits [N [base [exponent]]]     defaults: 50 2026 1000000000000000000
#include <quorvel/quorvel.hpp>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    const std::uint64_t width = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 50;
    const std::int64_t base = argc > 2 ? std::strtoll(argv[2], nullptr, 10) : 2026;
    std::uint64_t exponent = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1000000000000000000;
    const std::string what = "last " + std::to_string(width) + " digits of " +
                             std::to_string(base) + "^" + std::to_string(exponent);
    try
    {
        QUORVEL::fixedint result(width), power(width);
        result = std::int64_t{1};
        power = base;  // throws std::out_of_range when base has more than N digits
        for (; exponent != 0; exponent >>= 1)
        {
            if (exponent & 1)
                result = result * power;
            power = power * power;
            QUORVEL::logstream.str(std::string());  // each product logs; keep the log short
        }
        std::cout << what << ": " << result.asstring() << '\n';
    }
    catch (const std::exception& e)
    {
        std::cerr << what << ": " << e.what() << '\n';
        return 1;
    }
}
