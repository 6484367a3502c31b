// fixedint operations on request, one per input line, for the oracle in integer_oracle.py. A
// number is written W/text, or W/text/u for one with `issigned` false; a built-in integer
// TYPE:value with TYPE one of i32, u32, i64, u64, i128, u128 (the last two where the compiler has
// them: the first request, "caps", answers "int128" or "int64"). Each line gets one answer line: a
// number as W/text (its `asstring`), text, or the name of the exception thrown ("domain", "range",
// "invalid", "length").
//
//   mix OP A INT, mix OP INT A     A op INT, INT op A, for OP one of + - * / %
//   set OP A INT                   A op= INT, then A (after a throw: the name and A, unchanged)
//   step OP A                      ++A, --A, A++, A-- (OP inc, dec, postinc, postdec): the result
//                                  and A
//   abs A, residue A, count A      abs(A), A.residue(), "A.digitcount() A.iszero()"
//   shl A K, shr A K               A.shiftleft(K), A.shiftright(K), then A
//   gcd A B, lcm A B, isqrt A      the functions of <quorvel/numbertheory.hpp>
//   iroot A K, powmod A E M        (E a 64-bit exponent), powmodn A E M (E a number),
//   invert A, invertm A M          invert(A), invert(A, M)
//   as TYPE A                      A.asint64() .. A.asuint128(), TYPE d for asdouble (its bits)
//   double W HEX                   fixedint(W, the double with these bits)
//   tochars A SIZE                 tochars into SIZE characters: the text, or "toolarge"
//   fromchars W TEXT               fromchars(TEXT) into a zero of width W ("_" for the empty
//                                  text): "W/text used", or the error's name and the count used
#include "driver.hpp"

#include <quorvel/quorvel.hpp>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace
{
using QUORVEL::fixedint;
#if defined(QUORVEL_HAS_INT128)
using QUORVEL::int128;
using widest = QUORVEL::uint128;
#else
using widest = std::uint64_t;
#endif

fixedint numberof(const std::string& word)
{
    const std::size_t a = word.find('/'), b = word.find('/', a + 1);
    fixedint x(std::stoull(word.substr(0, a)));
    const std::string text = word.substr(a + 1, b - a - 1);
    if (!text.empty())  // no text: the width-0 zero
        x = text;
    x.issigned = b == std::string::npos;
    return x;
}

std::string show(const fixedint& x)
{
    return std::to_string(x.size) + "/" + x.asstring();
}

widest magnitudeof(const std::string& digits)
{
    widest v = 0;
    for (char c : digits) v = v * 10 + static_cast<unsigned>(c - '0');
    return v;
}

[[maybe_unused]] std::string text(widest v, bool minus)  // for the 128-bit conversions
{
    std::string t;
    do
    {
        t.insert(t.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    return (minus ? "-" : "") + t;
}

// Calls f with the integer TYPE:value as that type.
template <class F>
auto withinteger(const std::string& word, F&& f)
{
    const std::string type = word.substr(0, word.find(':'));
    std::string digits = word.substr(word.find(':') + 1);
    const bool minus = digits[0] == '-';
    if (minus)
        digits.erase(0, 1);
    const widest m = magnitudeof(digits);
    const auto signedvalue = [&](auto zero)
    {
        using T = decltype(zero);
        return minus ? static_cast<T>(0 - static_cast<T>(m - 1) - 1) : static_cast<T>(m);
    };
    if (type == "i32")
        return f(signedvalue(std::int32_t{}));
    if (type == "u32")
        return f(static_cast<std::uint32_t>(m));
    if (type == "i64")
        return f(signedvalue(std::int64_t{}));
    if (type == "u64")
        return f(static_cast<std::uint64_t>(m));
#if defined(QUORVEL_HAS_INT128)
    if (type == "i128")
        return f(minus ? -static_cast<int128>(m - 1) - 1 : static_cast<int128>(m));
#endif
    return f(m);
}

std::string mix(std::istringstream& in)
{
    std::string op, first, second;
    in >> op >> first >> second;
    const bool numberleft = first.find('/') != std::string::npos;
    const fixedint x = numberof(numberleft ? first : second);
    return withinteger(numberleft ? second : first,
                       [&](auto v)
                       {
                           const auto apply = [&](const auto& a, const auto& b)
                           {
                               switch (op[0])
                               {
                                   case '+':
                                       return a + b;
                                   case '-':
                                       return a - b;
                                   case '*':
                                       return a * b;
                                   case '/':
                                       return a / b;
                                   default:
                                       return a % b;
                               }
                           };
                           return show(numberleft ? apply(x, v) : apply(v, x));
                       });
}

std::string set(std::istringstream& in)
{
    std::string op, a, integer;
    in >> op >> a >> integer;
    fixedint x = numberof(a);
    try
    {
        withinteger(integer,
                    [&](auto v)
                    {
                        switch (op[0])
                        {
                            case '+':
                                x += v;
                                break;
                            case '-':
                                x -= v;
                                break;
                            case '*':
                                x *= v;
                                break;
                            case '/':
                                x /= v;
                                break;
                            default:
                                x %= v;
                        }
                        return 0;
                    });
    }
    catch (const std::domain_error&)
    {
        return "domain " + show(x);
    }
    return show(x);
}

std::string bitsof(double d)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof d);
    std::ostringstream hex;
    hex << std::hex << bits;
    return hex.str();
}

std::string convert(std::istringstream& in)
{
    std::string type, a;
    in >> type >> a;
    const fixedint x = numberof(a);
    if (type == "i64")
        return std::to_string(x.asint64());
    if (type == "u64")
        return std::to_string(x.asuint64());
#if defined(QUORVEL_HAS_INT128)
    if (type == "i128")
    {
        const int128 v = x.asint128();
        return text(v < 0 ? 0 - static_cast<widest>(v) : static_cast<widest>(v), v < 0);
    }
    if (type == "u128")
        return text(x.asuint128(), false);
#endif
    return bitsof(x.asdouble());
}

std::string chars(const std::string& op, std::istringstream& in)
{
    if (op == "tochars")
    {
        std::string a;
        std::size_t size = 0;
        in >> a >> size;
        std::string buffer(size, '#');
        const std::to_chars_result r = QUORVEL::tochars(&buffer[0], &buffer[0] + size, numberof(a));
        return r.ec == std::errc{} ? buffer.substr(0, static_cast<std::size_t>(r.ptr - &buffer[0]))
                                   : "toolarge";
    }
    std::uint64_t w = 0;
    std::string t;
    in >> w >> t;
    if (t == "_")
        t.clear();
    fixedint x(w);
    const std::from_chars_result r = QUORVEL::fromchars(t.data(), t.data() + t.size(), x);
    const std::string used = std::to_string(r.ptr - t.data());
    if (r.ec == std::errc::invalid_argument)
        return "invalid " + used;
    if (r.ec == std::errc::result_out_of_range)
        return "range " + used + " " + show(x);
    return show(x) + " " + used;
}

std::string answer(std::istringstream& in)
{
    std::string op, a, b, c;
    in >> op;
    if (op == "caps")
        return sizeof(widest) > 8 ? "int128" : "int64";
    if (op == "mix")
        return mix(in);
    if (op == "set")
        return set(in);
    if (op == "as")
        return convert(in);
    if (op == "tochars" || op == "fromchars")
        return chars(op, in);
    if (op == "double")
    {
        std::uint64_t w = 0;
        in >> w >> a;
        const std::uint64_t bits = std::stoull(a, nullptr, 16);
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        return show(fixedint(w, d));
    }
    if (op == "step")
    {
        in >> b >> a;
        fixedint x = numberof(a);
        const fixedint r = b == "inc" ? ++x : b == "dec" ? --x : b == "postinc" ? x++ : x--;
        return show(r) + " " + show(x);
    }
    in >> a;
    fixedint x = numberof(a);
    if (op == "abs")
        return show(abs(x));
    if (op == "residue")
        return show(x.residue());
    if (op == "count")
        return std::to_string(x.digitcount()) + " " + std::to_string(x.iszero());
    if (op == "isqrt")
        return show(isqrt(x));
    if (op == "invert")
        return show(invert(x));
    in >> b;
    if (op == "shl" || op == "shr")
        return show(op == "shl" ? x.shiftleft(std::stoull(b)) : x.shiftright(std::stoull(b)));
    if (op == "iroot")
        return show(iroot(x, std::stoull(b)));
    if (op == "gcd")
        return show(gcd(x, numberof(b)));
    if (op == "lcm")
        return show(lcm(x, numberof(b)));
    if (op == "invertm")
        return show(invert(x, numberof(b)));
    in >> c;
    if (op == "powmod")
        return show(powmod(x, std::stoull(b), numberof(c)));
    if (op == "powmodn")
        return show(powmod(x, numberof(b), numberof(c)));
    throw std::runtime_error("no operation " + op);
}
}  // namespace

int main()
{
    return driver::serve(answer);
}
