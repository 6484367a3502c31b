// The last N decimal digits of a huge power. A fixedint of width N keeps exactly the last N digits
// of every product, so `pow` never forms anything larger than N digits.
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
    const std::string base = argc > 2 ? argv[2] : "2026";
    const std::uint64_t exponent =
        argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1000000000000000000;
    const std::string what =
        "last " + std::to_string(width) + " digits of " + base + "^" + std::to_string(exponent);
    try
    {
        // The base is read as text: any number of digits that fits the width.
        std::cout << what << ": " << QUORVEL::pow(QUORVEL::fixedint(width, base), exponent) << '\n';
    }
    catch (const std::exception& e)
    {
        std::cerr << what << ": " << e.what() << '\n';
        return 1;
    }
}
