// Fixed-point values: each operation checked against others it must agree with, on values of any
// width and scale the input chooses. Text reads back; a sum less its operand is the operand; a
// compound assignment is its operator rounded to the target; a rounded quotient q of a / b lies
// where its mode puts it (checked by exact products); allocations add up; equal values hash alike.
#include "common.hpp"

#include <quorvel/fixedfloat.hpp>

#include <stdexcept>
#include <string>

namespace
{
using QUORVEL::fixedfloat;
using QUORVEL::rounding;

// A value of the input's width and scale, or of those of `like` (the compound assignments have a
// path of their own for operands alike).
fixedfloat value(fuzzing::reader& in, std::uint64_t maxwidth, const fixedfloat* like = nullptr)
{
    const bool same = like != nullptr && in.byte() % 2 == 0;
    const std::uint64_t w = same ? like->width() : fuzzing::width(in, maxwidth);
    const std::uint64_t s = same ? like->scale() : w == 0 ? 0 : in.below(w + 1);
    fixedfloat x(w, s);
    x.number.digits = fuzzing::digits(in, w);
    x.number.negative = (in.byte() & 1) != 0 && x.number.getshorteneddigits().size() > 0;
    return x;
}

// The unit of the last place at scale s, with a sign.
fixedfloat unit(std::uint64_t s, bool negative)
{
    return fixedfloat(s + 1, s, std::string(negative ? "-1e-" : "1e-") + std::to_string(s));
}

template <typename F>
bool overflows(F f)
{
    try
    {
        f();
        return false;
    }
    catch (const std::overflow_error&)
    {
        return true;
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using fuzzing::check;
    fuzzing::reader in(data, size);
    const fixedfloat a = value(in, 80);
    const fixedfloat b = value(in, 80, &a);
    const auto mode = static_cast<rounding>(in.byte() % 7);
    const std::string at = a.asstring() + " (" + std::to_string(a.width()) + ", " +
                           std::to_string(a.scale()) + ") and " + b.asstring() + " (" +
                           std::to_string(b.width()) + ", " + std::to_string(b.scale()) + ")";

    // Text and hashing.
    check(fixedfloat(a.width(), a.scale(), a.asstring()) == a, "text reads back: " + at);
    const fixedfloat wider = a.rescale(a.width() + 3, a.scale() + 2);
    check(wider == a && wider.hash() == a.hash() && (a.scale() > 0 || a.hash() == a.number.hash()),
          "equal values hash alike: " + at);

    // Sums, differences and products are exact.
    const fixedfloat sum = a + b;
    check((sum - b) == a && (sum - a) == b, "a + b - b is a: " + at);
    check(((a - b) < 0) == (a.compare(b) < 0) && ((a - b) == 0) == (a.compare(b) == 0),
          "compare agrees with the difference: " + at);
    const fixedfloat product = a * b;
    check(product == b * a, "the product commutes: " + at);

    // A compound assignment is its operator's exact result rounded half to even to the target.
    fixedfloat t = a;
    const bool sumover = overflows([&] { t += b; });
    fixedfloat expect = a;
    const bool over = overflows([&] { expect = sum.rescale(a.width(), a.scale()); });
    check(sumover == over && (over ? t.asstring() == a.asstring() : t == expect),
          "+= rounds the sum to its target: " + at);
    t = a;
    const bool productover = overflows([&] { t *= b; });
    const bool pover = overflows([&] { expect = product.rescale(a.width(), a.scale()); });
    check(productover == pover && (pover ? t.asstring() == a.asstring() : t == expect),
          "*= rounds the product to its target: " + at);

    // A quotient q = a / b at scale s with `mode`: toward zero it is the largest magnitude with
    // |q b| <= |a|; every mode lies within one unit of that one.
    if (b != 0)
    {
        const std::uint64_t s = in.below(20);
        const std::uint64_t w = 200;
        const fixedfloat down = QUORVEL::divide(a, b, w, s, rounding::down);
        const bool minus = (a < 0) != (b < 0);
        const fixedfloat next = down + unit(s, minus);
        const fixedfloat absa = a < 0 ? -a : a;
        const auto magnitude = [](const fixedfloat& x) { return x < 0 ? -x : x; };
        check(magnitude(down * b) <= absa && magnitude(next * b) > absa,
              "the quotient toward zero brackets a: " + at);
        const fixedfloat q = QUORVEL::divide(a, b, w, s, mode);
        check(q == down || q == next, "a rounded quotient is one of its neighbours: " + at);
    }

    // Allocations add up, their parts within one unit.
    const auto parts = static_cast<std::size_t>(1 + in.below(12));
    fixedfloat total(a.width() + 2, a.scale());
    fixedfloat smallest = a, largest = a;
    bool first = true;
    for (const fixedfloat& p : a.allocate(parts))
    {
        total += p;
        if (first || p < smallest)
            smallest = p;
        if (first || p > largest)
            largest = p;
        first = false;
    }
    check(total == a &&
              (largest - smallest).rescale(a.width() + 1, a.scale()) <= unit(a.scale(), false),
          "an allocation adds up: " + at);
    QUORVEL::logstream.str({});
    return 0;
}
