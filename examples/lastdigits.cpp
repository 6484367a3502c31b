// The last N decimal digits of a huge power. A fixedint of width N keeps exactly the last N digits
// of every product, so `pow` never forms anything larger than N digits.
//
//   quorvel-example-lastdigits [N [base [exponent]]]     defaults: 50 2026 1000000000000000000
#include <quorvel/quorvel.hpp>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>

namespace
{
constexpr std::uint64_t maxwidth = 100000000;

// The whole of `text` as an unsigned integer no larger than `limit`; false for anything else.
bool readnumber(const char* text, std::uint64_t limit, std::uint64_t& value)
{
    const char* end = text + std::strlen(text);
    const std::from_chars_result r = std::from_chars(text, end, value);
    return r.ec == std::errc{} && r.ptr == end && value <= limit;
}
}  // namespace

int main(int argc, char** argv)
{
    std::uint64_t width = 50, exponent = 1000000000000000000;
    const std::string base = argc > 2 ? argv[2] : "2026";
    if (argc > 4 || (argc > 1 && (!readnumber(argv[1], maxwidth, width) || width == 0)) ||
        (argc > 3 && !readnumber(argv[3], UINT64_MAX, exponent)))
    {
        std::cerr << "usage: quorvel-example-lastdigits [N [base [exponent]]]\n"
                     "  N: the digits to keep, 1 to "
                  << maxwidth
                  << "; base: a decimal integer of at most N digits; exponent: 0 to 2^64 - 1\n";
        return 2;
    }
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
