// Digit strings with a short operand: the operand's digits, then the carry or borrow on through
// the nines or zeros above them, the rest copied (or left where it is, in place).
#include "kernel/carry.hpp"

#include <algorithm>
#include <cstring>

namespace QUORVEL
{
namespace detail
{
namespace
{
// Copies x[from, n) to out when they are not the same digits.
void rest(const std::int8_t* x, std::int8_t* out, std::size_t from, std::size_t n)
{
    if (out != x && from < n)
        std::memcpy(out + from, x + from, n - from);
}
}  // namespace

void addshort(const std::int8_t* x, const std::int8_t* v, std::size_t lv, std::int8_t* out,
              std::size_t n)
{
    const std::size_t m = std::min(lv, n);
    int carry = 0;
    std::size_t i = 0;
    for (; i < m; ++i)
    {
        const int t = x[i] + v[i] + carry;
        carry = t >= 10 ? 1 : 0;
        out[i] = static_cast<std::int8_t>(t - 10 * carry);
    }
    for (; carry != 0 && i < n; ++i)
    {
        carry = x[i] == 9 ? 1 : 0;
        out[i] = static_cast<std::int8_t>(carry != 0 ? 0 : x[i] + 1);
    }
    rest(x, out, i, n);
}

void subtractshort(const std::int8_t* x, const std::int8_t* v, std::size_t lv, std::int8_t* out,
                   std::size_t n)
{
    const std::size_t m = std::min(lv, n);
    int borrow = 0;
    std::size_t i = 0;
    for (; i < m; ++i)
    {
        const int t = x[i] - v[i] - borrow;
        borrow = t < 0 ? 1 : 0;
        out[i] = static_cast<std::int8_t>(t + 10 * borrow);
    }
    for (; borrow != 0 && i < n; ++i)
    {
        borrow = x[i] == 0 ? 1 : 0;
        out[i] = static_cast<std::int8_t>(borrow != 0 ? 9 : x[i] - 1);
    }
    rest(x, out, i, n);
}

void negatedigits(const std::int8_t* x, std::int8_t* out, std::size_t n)
{
    std::size_t i = 0;
    for (; i < n && x[i] == 0; ++i) out[i] = 0;
    if (i == n)
        return;
    out[i] = static_cast<std::int8_t>(10 - x[i]);
    for (++i; i < n; ++i) out[i] = static_cast<std::int8_t>(9 - x[i]);
}
}  // namespace detail
}  // namespace QUORVEL
