/// @file
/// Number theory on `QUORVEL::fixedint`: greatest common divisor, least common multiple, integer
/// roots, modular powers and modular inverses, as free functions of the namespace.
///
/// They follow the model of `fixedint`: operands of equal widths (else std::length_error "Int
/// sizes are not equal!"); a number's value is its magnitude with its sign, or the magnitude alone
/// where the first operand's `issigned` is false (it decides for all operands, as the left
/// operand's does for `+`); the result is a new number of the first operand's width, made
/// through the size constructor (three lines) once the operation cannot fail any more, holding
/// the exact result modulo 10^width. A function that throws has logged nothing.
#pragma once

#include <quorvel/export.hpp>
#include <quorvel/fixedint.hpp>

#include <cstdint>

namespace QUORVEL
{
/// The greatest common divisor of the values of `a` and `b`, never negative; gcd(0, 0) is 0.
QUORVEL_API fixedint gcd(const fixedint& a, const fixedint& b);
/// The least common multiple of the values of `a` and `b`, never negative, modulo 10^width;
/// 0 when either is 0.
QUORVEL_API fixedint lcm(const fixedint& a, const fixedint& b);
/// The integer square root: the largest r with r * r <= x. Throws std::domain_error for a
/// negative x.
QUORVEL_API fixedint isqrt(const fixedint& x);
/// The integer k-th root: the largest r with r^k <= x. Throws std::domain_error for a negative
/// x or k = 0.
QUORVEL_API fixedint iroot(const fixedint& x, std::uint64_t k);
///@{
/// base^exponent modulo `modulus`, in [0, modulus) whatever the sign of `base` (as GMP's
/// `mpz_powm` gives it; 0^0 is 1, and everything is 0 modulo 1). `modulus` has the width of
/// `base`; the fixedint exponent may have any width. Throws std::domain_error for a modulus that
/// is not positive or a negative exponent.
QUORVEL_API fixedint powmod(const fixedint& base, std::uint64_t exponent, const fixedint& modulus);
QUORVEL_API fixedint powmod(const fixedint& base, const fixedint& exponent,
                            const fixedint& modulus);
///@}
/// The inverse of x modulo 10^width, in [0, 10^width): the y with x * y = 1 modulo 10^width. It
/// exists when x is odd and not a multiple of 5; otherwise throws std::domain_error. At width 0
/// (modulo 1) it is the width-0 zero.
QUORVEL_API fixedint invert(const fixedint& x);
/// The inverse of x modulo `modulus` (of x's width), in [0, modulus). Throws std::domain_error
/// when the modulus is not positive or x and the modulus have a common factor; modulo 1 the
/// inverse is 0.
QUORVEL_API fixedint invert(const fixedint& x, const fixedint& modulus);
}  // namespace QUORVEL
