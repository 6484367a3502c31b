// Fixed-point money: prices kept in cents, a total computed exactly, and its whole-unit part taken
// with fixedfloat (pointpos 4 means two digits after the point).
#include <quorvel/quorvel.hpp>

#include <iostream>

int main()
{
    const QUORVEL::fixedint price(24, "1999");  // 19.99 in cents
    const QUORVEL::fixedint units(24, -37);     // a refund of 37 units
    const QUORVEL::fixedfloat total{price * units, 4};
    QUORVEL::fixedint whole(1);
    whole = total;  // takes the integer part and its width, truncated toward zero
    std::cout << "19.99 * -37 = " << total.asstring() << ", whole units " << whole << " (width "
              << whole.size << ")\n";
}
