// Internal: what the files that implement fixedint share about its fields. Not installed.
#pragma once

#include <quorvel/fixedint.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace QUORVEL
{
namespace detail
{
/// The store length for a width. Throws std::length_error where std::size_t is narrower than
/// 64 bits and the width is beyond what any vector could index.
std::size_t storelength(std::uint64_t width);
/// The length to ask the store for when it is made or resized to a width: the width itself, or,
/// where it does not fit in std::size_t, a length the vector refuses as it refuses any length
/// beyond its maximum (std::length_error), so every platform fails alike.
std::size_t requestedlength(std::uint64_t width);
/// The positions an operation may touch: the width, or less when a caller shortened the store.
std::size_t usable(const fixedint& x);
/// The most decimal digits a built-in integer's magnitude has (2^128 - 1 has 39).
constexpr std::size_t integerdigits = 39;
/// The decimal digits of the magnitude of v, least significant first (one digit for zero);
/// returns their count.
std::size_t decimaldigits(const integerparts& v, std::int8_t (&out)[integerdigits]);
/// Throws std::length_error("Int sizes are not equal!") unless a and b have equal widths.
void checkwidths(const fixedint& a, const fixedint& b);

/// Gives `to` the sign flag, width and flags of `from`; the digits are the caller's business.
inline void copyfields(fixedint& to, const fixedint& from) noexcept
{
    to.negative = from.negative;
    to.size = from.size;
    to.issigned = from.issigned;
    to.spareflag = from.spareflag;
}
/// `to` takes `from` whole: the stores are exchanged (so `from` holds `to`'s old one) and the
/// other fields copied.
inline void takeover(fixedint& to, fixedint& from) noexcept
{
    to.digits.swap(from.digits);
    copyfields(to, from);
}

/// Drops the low `count` digits of the usable positions and fills zeros in at the top: the same
/// as `count` single shifts toward the units, at the cost of one.
void shiftdown(fixedint& x, std::uint64_t count);

/// The digits of a number as the arithmetic reads them: exactly `size` digits 0 to 9 (positions
/// a caller left out of the store read as 0, digits outside 0 to 9 modulo 10). Points into the
/// number's own store when that already holds them so, else into a copy. Throws std::bad_alloc.
class digitsof
{
public:
    explicit digitsof(const fixedint& x);
    const std::int8_t* data() const { return view; }
    std::size_t size() const { return length; }
    /// Whether the number's own store is what `data` shows.
    bool direct() const { return copy.empty() || length == 0; }
    /// The copy, for taking over as a new store (only when not `direct`).
    std::vector<std::int8_t>& owned() { return copy; }

private:
    std::vector<std::int8_t> copy;
    const std::int8_t* view = nullptr;
    std::size_t length = 0;
};

/// A result of x's width (made through the size constructor, three lines) whose digits and sign
/// flag `compute(digits, out, n)` gives from x's n digits: it writes out[0, n) and returns the
/// sign flag.
template <class Compute>
fixedint resultof(const fixedint& x, Compute&& compute)
{
    const digitsof in(x);
    fixedint result(x.size);
    result.negative = compute(in.data(), result.digits.data(), in.size());
    return result;
}
/// x changed in place by `compute`, as `resultof` calls it (`out` may then be the digits it
/// reads): into x's own store when that holds exactly its digits, else into the copy, which
/// then becomes the store. Nothing changes when `compute` throws.
template <class Compute>
fixedint& inplace(fixedint& x, Compute&& compute)
{
    digitsof in(x);
    std::int8_t* out = in.direct() ? x.digits.data() : in.owned().data();
    const bool minus = compute(in.data(), out, in.size());
    if (!in.direct())
        x.digits.swap(in.owned());
    x.negative = minus;
    return x;
}
}  // namespace detail
}  // namespace QUORVEL
