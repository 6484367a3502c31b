// A bill: prices summed, 8.25% tax rounded half to even to the cent, and the total split three
// ways without losing a cent, in eight lines. In Python's decimal the same job takes ten (and an
// import):
//
//   from decimal import Decimal, ROUND_HALF_EVEN
//   prices = [Decimal(p) for p in ("19.99", "5.49", "3.50")]
//   subtotal = sum(prices)
//   tax = (subtotal * Decimal("0.0825")).quantize(Decimal("0.01"), rounding=ROUND_HALF_EVEN)
//   total = subtotal + tax
//   cents = int(total * 100)
//   share, left = divmod(cents, 3)
//   shares = [Decimal(share + (1 if i < left else 0)) / 100 for i in range(3)]
//   print(f"subtotal {subtotal}, tax {tax}, total {total}")
//   print("each pays", " ".join(str(s) for s in shares))
#include <quorvel/quorvel.hpp>

#include <iostream>

int main()
{
    using QUORVEL::fixedfloat;
    fixedfloat subtotal(12, 2);  // DECIMAL(12, 2)
    for (const char* price : {"19.99", "5.49", "3.50"}) subtotal += fixedfloat(12, 2, price);
    const fixedfloat tax = (subtotal * fixedfloat(5, 4, "0.0825")).rescale(12, 2);  // half even
    const fixedfloat total = subtotal + tax;
    std::cout << "subtotal " << subtotal << ", tax " << tax << ", total " << total << "\neach pays";
    for (const fixedfloat& share : total.allocate(3)) std::cout << ' ' << share;
    std::cout << '\n';
}
