// Fixed-point operations on request, one per input line, for the oracle in decimal_oracle.py.
// A value is written W/S/text (width, scale, text); modes are the names of `rounding`. Each line
// gets one answer line: "W/S/text" for a value, a list of them, a number, or the name of the
// exception ("overflow", "invalid", "domain").
//
//   text W S MODE TEXT       fixedfloat(W, S, TEXT, MODE)
//   double W S MODE HEX      fixedfloat(W, S, the double with these bits, MODE)
//   add|sub|mul A B          A + B, A - B, A * B
//   div A B W S MODE         divide(A, B, W, S, MODE)
//   iadd|isub|imul|idiv A B  A op= B, then A (after a throw: the name and A, unchanged)
//   rescale A W S MODE       A.rescale(W, S, MODE)
//   round A P MODE           A.asstring(P, MODE)
//   cmp A B                  A.compare(B)
//   tofloat A                the bits of A.asdouble()
//   alloc A N                A.allocate(N)
//   ratios A R1,R2,...       A.allocate({R1, R2, ...})
#include "driver.hpp"

#include <quorvel/quorvel.hpp>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
using QUORVEL::fixedfloat;
using QUORVEL::rounding;

rounding modeof(const std::string& name)
{
    const char* names[] = {"halfeven", "halfup", "halfdown", "down", "up", "floor", "ceiling"};
    for (int i = 0; i < 7; ++i)
        if (name == names[i])
            return static_cast<rounding>(i);
    throw std::runtime_error("no rounding mode " + name);
}

fixedfloat valueof(const std::string& word)
{
    const std::size_t a = word.find('/'), b = word.find('/', a + 1);
    return fixedfloat(std::stoull(word.substr(0, a)), std::stoull(word.substr(a + 1, b - a - 1)),
                      word.substr(b + 1));
}

std::string show(const fixedfloat& x)
{
    return std::to_string(x.width()) + "/" + std::to_string(x.scale()) + "/" + x.asstring();
}

std::string answer(std::istringstream& in)
{
    std::string op, x, y;
    in >> op;
    if (op == "text" || op == "double")
    {
        std::uint64_t w = 0, s = 0;
        std::string mode, text;
        in >> w >> s >> mode >> text;
        if (op == "text")
            return show(fixedfloat(w, s, text, modeof(mode)));
        const std::uint64_t bits = std::stoull(text, nullptr, 16);
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        return show(fixedfloat(w, s, d, modeof(mode)));
    }
    in >> x;
    const fixedfloat a = valueof(x);
    if (op == "rescale" || op == "round")
    {
        std::uint64_t w = 0, s = 0;
        std::string mode;
        if (op == "rescale")
            in >> w;
        in >> s >> mode;
        return op == "rescale" ? show(a.rescale(w, s, modeof(mode))) : a.asstring(s, modeof(mode));
    }
    if (op == "tofloat")
    {
        const double d = a.asdouble();
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof d);
        std::ostringstream hex;
        hex << std::hex << bits;
        return hex.str();
    }
    if (op == "alloc" || op == "ratios")
    {
        std::string list;
        in >> list;
        std::vector<fixedfloat> parts;
        if (op == "alloc")
            parts = a.allocate(static_cast<std::size_t>(std::stoull(list)));
        else
        {
            std::vector<std::uint64_t> ratios;
            std::istringstream items(list);
            for (std::string r; std::getline(items, r, ',');) ratios.push_back(std::stoull(r));
            parts = a.allocate(ratios);
        }
        std::string out;
        for (const fixedfloat& p : parts) out += (out.empty() ? "" : " ") + show(p);
        return out;
    }
    in >> y;
    const fixedfloat b = valueof(y);
    if (op == "add")
        return show(a + b);
    if (op == "sub")
        return show(a - b);
    if (op == "mul")
        return show(a * b);
    if (op == "cmp")
        return std::to_string(a.compare(b));
    if (op == "div")
    {
        std::uint64_t w = 0, s = 0;
        std::string mode;
        in >> w >> s >> mode;
        return show(QUORVEL::divide(a, b, w, s, modeof(mode)));
    }
    fixedfloat target = a;
    try
    {
        if (op == "iadd")
            target += b;
        else if (op == "isub")
            target -= b;
        else if (op == "imul")
            target *= b;
        else if (op == "idiv")
            target /= b;
        else
            throw std::runtime_error("no operation " + op);
    }
    catch (const std::overflow_error&)
    {
        return "overflow " + show(target);
    }
    catch (const std::domain_error&)
    {
        return "domain " + show(target);
    }
    return show(target);
}
}  // namespace

int main()
{
    return driver::serve(answer);
}
