// Fixed-point money: prices kept in cents, a total computed exactly, and its whole-unit part taken
// with fixedfloat (pointpos 4 means two digits after the point).
#include <quorvel/quorvel.hpp>

#include <cstdint>
#include <iostream>
#include <string>

// "12345" with two digits after the point -> "123.45".
std::string withpoint(std::string digits)
{
    const bool minus = !digits.empty() && digits[0] == '-';
    if (minus)
        digits.erase(0, 1);
    while (digits.size() < 3) digits.insert(0, 1, '0');
    digits.insert(digits.size() - 2, 1, '.');
    return (minus ? "-" : "") + digits;
}

int main()
{
    QUORVEL::fixedint price(24), units(24);
    price = std::int64_t{1999};  // 19.99 in cents
    units = std::int64_t{-37};   // a refund of 37 units
    const QUORVEL::fixedfloat total{price * units, 4};
    QUORVEL::fixedint whole(1);
    whole = total;  // takes the integer part and its width, truncated toward zero
    std::cout << "19.99 * -37 = " << withpoint(total.number.asstring()) << ", whole units "
              << whole.asstring() << " (width " << whole.size << ")\n";
}
