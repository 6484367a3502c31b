// What every arithmetic operation of fixedint must give, spelled out from its rules on top of the
// reference arithmetic: a number's value is its magnitude with the sign flag's sign ("-0" equals
// 0); the exact result keeps its sign and its magnitude modulo 10^width; a zero magnitude is "0";
// with the left operand's issigned false the operation works on magnitudes modulo 10^width and the
// result is non-negative. Shared by the fuzz harnesses and the randomized unit tests; needs no GMP.
#pragma once

#include "reference.hpp"

#include <quorvel/quorvel.hpp>

#include <cstdint>
#include <string>

namespace oracle
{
using reference::limbs;

/// An exact signed value.
struct value
{
    limbs magnitude;
    bool negative = false;  // only for a magnitude other than zero
};

inline value valueof(const QUORVEL::fixedint& x)
{
    value v{reference::fromdigits(x.digits), false};
    reference::trim(v.magnitude);
    v.negative = x.negative && !v.magnitude.empty();
    return v;
}

/// 10^width.
inline limbs poweroften(std::uint64_t width)
{
    limbs p(static_cast<std::size_t>(width / 4) + 1, 0);
    std::uint32_t top = 1;
    for (std::uint64_t i = 0; i < width % 4; ++i) top *= 10;
    p.back() = top;
    return p;
}

/// The text of the exact value v in a number of width `width`.
inline std::string text(const value& v, std::uint64_t width)
{
    const limbs m = reference::lowdigits(v.magnitude, width);
    if (width == 0)
        return "";
    return (v.negative && !m.empty() ? "-" : "") + reference::text(m);
}

/// (x - y) modulo 10^width, for magnitudes.
inline limbs wrapdifference(const limbs& x, const limbs& y, std::uint64_t width)
{
    const limbs xm = reference::lowdigits(x, width), ym = reference::lowdigits(y, width);
    if (reference::compare(xm, ym) >= 0)
        return reference::subtract(xm, ym);
    return reference::subtract(reference::add(xm, poweroften(width)), ym);
}

inline value signedsum(value a, value b)
{
    if (a.negative == b.negative)
        return {reference::add(a.magnitude, b.magnitude), a.negative};
    if (reference::compare(a.magnitude, b.magnitude) >= 0)
        return {reference::subtract(a.magnitude, b.magnitude), a.negative};
    return {reference::subtract(b.magnitude, a.magnitude), b.negative};
}

inline std::string sum(const QUORVEL::fixedint& a, const QUORVEL::fixedint& b)
{
    const value x = valueof(a), y = valueof(b);
    if (!a.issigned)
        return text({reference::add(x.magnitude, y.magnitude), false}, a.size);
    return text(signedsum(x, y), a.size);
}

inline std::string difference(const QUORVEL::fixedint& a, const QUORVEL::fixedint& b)
{
    const value x = valueof(a);
    value y = valueof(b);
    if (!a.issigned)
        return text({wrapdifference(x.magnitude, y.magnitude, a.size), false}, a.size);
    y.negative = !y.negative && !y.magnitude.empty();
    return text(signedsum(x, y), a.size);
}

inline std::string negation(const QUORVEL::fixedint& a)
{
    const value x = valueof(a);
    if (!a.issigned)
        return text({wrapdifference({}, x.magnitude, a.size), false}, a.size);
    return text({x.magnitude, !x.negative && !x.magnitude.empty()}, a.size);
}

/// The product's own rule: the sign flags alone decide, so a zero product can be "-0".
inline std::string product(const QUORVEL::fixedint& a, const QUORVEL::fixedint& b)
{
    const limbs m = reference::multiply(valueof(a).magnitude, valueof(b).magnitude, a.size);
    if (a.size == 0)
        return a.issigned && a.negative != b.negative ? "-" : "";
    return (a.issigned && a.negative != b.negative ? "-" : "") + reference::text(m);
}

/// The quotient (toward zero) or the remainder (the dividend's sign); b is not zero.
inline std::string division(const QUORVEL::fixedint& a, const QUORVEL::fixedint& b, bool remainder)
{
    const value x = valueof(a), y = valueof(b);
    limbs q, r;
    reference::divide(x.magnitude, y.magnitude, q, r);
    const bool negative = a.issigned && (remainder ? x.negative : x.negative != y.negative);
    return text({remainder ? r : q, negative}, a.size);
}

inline std::string power(const QUORVEL::fixedint& a, std::uint64_t exponent)
{
    const value x = valueof(a);
    const bool negative = a.issigned && x.negative && (exponent & 1) != 0;
    return text({reference::power(x.magnitude, exponent, a.size), negative}, a.size);
}

/// -1, 0 or 1 comparing the values of a and b (any widths).
inline int comparison(const QUORVEL::fixedint& a, const QUORVEL::fixedint& b)
{
    const value x = valueof(a), y = valueof(b);
    if (x.negative != y.negative)
        return x.negative ? -1 : 1;
    const int c = reference::compare(x.magnitude, y.magnitude);
    return x.negative ? -c : c;
}
}  // namespace oracle
