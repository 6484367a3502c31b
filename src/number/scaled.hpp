// Internal: the arithmetic of fixed-point values on digit strings: exact sums, products and
// quotients of scaled decimals, and rounding to a scale. Not installed.
#pragma once

#include "number/fields.hpp"

#include <quorvel/fixedfloat.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace QUORVEL
{
namespace detail
{
/// A decimal value as the fixed-point arithmetic computes it: a magnitude (digits 0 to 9, least
/// significant first, of any length, leading zeros allowed) with `scale` of its digits after the
/// point, and a sign.
struct scaled
{
    bool negative = false;
    std::vector<std::int8_t> digits;
    std::uint64_t scale = 0;
};

/// A fixedfloat's value as the arithmetic reads it: its digits as `digitsof` gives them (a view
/// of the store where it can), its scale and its sign ("-0" reads as 0).
class scaledview
{
public:
    explicit scaledview(const fixedfloat& x);
    /// An integer value (scale 0).
    explicit scaledview(const fixedint& x);
    scaledview(bool minus, const std::int8_t* d, std::size_t length, std::uint64_t scale);

    const std::int8_t* data() const { return view; }
    /// The significant digits.
    std::size_t length() const { return used; }
    std::uint64_t scale() const { return places; }
    bool negative() const { return minus; }
    bool iszero() const { return used == 0; }

private:
    std::vector<std::int8_t> copy;
    const std::int8_t* view = nullptr;
    std::size_t used = 0;
    std::uint64_t places = 0;
    bool minus = false;
};

/// Where a discarded part lies between the two neighbouring results.
enum class remainder
{
    none,
    belowhalf,
    half,
    abovehalf
};
/// Whether a result whose discarded part lies at `rest` is rounded away from zero (its magnitude
/// up by one unit) under `mode`, for a value of sign `negative` whose kept last digit is `odd`.
bool roundsaway(remainder rest, bool negative, bool odd, rounding mode);
/// Where the low `k` digits of d[0, length) (zeros beyond `length`) lie.
remainder droppedpart(const std::int8_t* d, std::size_t length, std::uint64_t k);

/// Throws std::invalid_argument unless `scale` <= `width`; gives the `pointpos` of the scale.
std::uint64_t pointposof(std::uint64_t width, std::uint64_t scale);
/// Throws std::overflow_error naming the width and scale a value does not fit.
[[noreturn]] void throwdoesnotfitdecimal(std::uint64_t width, std::uint64_t scale);

/// a + b (a - b with `subtract`) exactly, at the scale max(sa, sb).
scaled sum(const scaledview& a, const scaledview& b, bool subtract);
/// a * b exactly, at the scale sa + sb.
scaled product(const scaledview& a, const scaledview& b);
/// a / b at `scale`, rounded once with `mode`. Throws std::domain_error when b is zero.
scaled quotient(const scaledview& a, const scaledview& b, std::uint64_t scale, rounding mode);
/// `v` at `scale`: digits appended, or dropped with `mode` (one rounding).
void rescale(scaled& v, std::uint64_t scale, rounding mode);
/// `v` at `scale` and within `width` digits, rounded with `mode`; throws std::overflow_error
/// (naming the width and scale) when it does not fit. The result has exactly `width` digits and
/// is never "-0".
void fitto(scaled& v, std::uint64_t width, std::uint64_t scale, rounding mode);

/// -1, 0 or 1 comparing the values.
int compare(const scaledview& a, const scaledview& b);
/// A hash of the value, equal for equal values; a value with no fraction hashes as the fixedint
/// of that value does.
std::size_t hashof(const scaledview& x);
/// The hash of an integer: its significant digits d[0, length) and its sign.
std::size_t hashdigits(const std::int8_t* d, std::size_t length, bool negative);

/// What the fixed-point operations need of fixedfloat's internals.
struct floataccess
{
    /// A new value of width `width` and scale `scale` (its three construction lines) whose
    /// number `fill(number)` gives its digits and sign.
    template <typename Fill>
    static fixedfloat make(std::uint64_t width, std::uint64_t scale, Fill&& fill)
    {
        return fixedfloat(
            width, scale,
            [](fixedint& number, void* context) { (*static_cast<Fill*>(context))(number); },
            static_cast<void*>(&fill));
    }
    /// A new value of width `width` and scale `scale` holding `v`, which `fitto` has made exactly
    /// `width` digits long.
    static fixedfloat make(std::uint64_t width, std::uint64_t scale, scaled&& v)
    {
        return fixedfloat(width, scale, takescaled, &v);
    }
    /// For a constructor that delegates: the fill that takes the scaled value `*context`, and
    /// that value kept alive for the delegation (a temporary of the same full expression).
    static void takescaled(fixedint& number, void* context)
    {
        auto& v = *static_cast<scaled*>(context);
        number.digits.swap(v.digits);
        number.negative = v.negative;
    }
    static void* keep(scaled&& v) { return &v; }
};
}  // namespace detail
}  // namespace QUORVEL
