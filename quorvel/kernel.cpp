// The digits are packed into limbs of 18 decimal digits (base 10^18), multiplied column by column
// with 128-bit accumulation, and unpacked. Only the low columns that survive the cut back to the
// width are formed.
#include "quorvel/kernel.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

namespace QUORVEL
{
namespace detail
{
namespace
{
__extension__ typedef unsigned __int128 u128;  // __extension__: silences -Wpedantic

constexpr int limbdigits = 18;
constexpr std::uint64_t limbbase = 1000000000000000000ULL;  // 10^18

std::uint64_t decimal(std::int8_t d)
{
    const int r = d % 10;
    return static_cast<std::uint64_t>(r < 0 ? r + 10 : r);
}

// Packs `len` digits into ceil(len / 18) limbs.
std::vector<std::uint64_t> pack(const std::int8_t* d, std::size_t len)
{
    std::vector<std::uint64_t> limbs((len + limbdigits - 1) / limbdigits);
    const bool valid = alldecimal(d, len);
    for (std::size_t l = 0; l < limbs.size(); ++l)
    {
        const std::size_t lo = l * limbdigits;
        const std::size_t hi = std::min(len, lo + limbdigits);
        std::uint64_t v = 0;
        if (valid)
            for (std::size_t i = hi; i-- > lo;)
                v = v * 10 + static_cast<std::uint64_t>(d[i]);
        else
            for (std::size_t i = hi; i-- > lo;)
                v = v * 10 + decimal(d[i]);
        limbs[l] = v;
    }
    return limbs;
}

// Writes the low `n` digits held by `limbs` (missing limbs are zero).
void unpack(const std::vector<std::uint64_t>& limbs, std::int8_t* out, std::size_t n)
{
    for (std::size_t pos = 0, l = 0; pos < n; ++l)
    {
        std::uint64_t v = l < limbs.size() ? limbs[l] : 0;
        const std::size_t end = std::min(n, pos + limbdigits);
        for (; pos < end; ++pos)
        {
            out[pos] = static_cast<std::int8_t>(v % 10);
            v /= 10;
        }
    }
}

// q = (hi * 2^64 + lo) / d and r = the remainder, for hi < d.
inline std::uint64_t divide(std::uint64_t hi, std::uint64_t lo, std::uint64_t d, std::uint64_t& r)
{
#if defined(__x86_64__)
    std::uint64_t q;
    __asm__("divq %4" : "=a"(q), "=d"(r) : "a"(lo), "d"(hi), "r"(d) : "cc");
    return q;
#else
    const u128 x = (static_cast<u128>(hi) << 64) | lo;
    r = static_cast<std::uint64_t>(x % d);
    return static_cast<std::uint64_t>(x / d);
#endif
}

// The low `m` limbs of a * b, by columns. A column is a sum of up to min(na, nb) products below
// 10^36; it is accumulated in 128 bits with an overflow count above them.
std::vector<std::uint64_t> mullowlimbs(const std::vector<std::uint64_t>& a,
                                       const std::vector<std::uint64_t>& b, std::size_t m)
{
    std::vector<std::uint64_t> out(m);
    const std::size_t na = a.size(), nb = b.size();
    u128 carry = 0;
    for (std::size_t k = 0; k < m; ++k)
    {
        u128 acc = carry;
        std::uint64_t top = 0;
        const std::size_t ibegin = k >= nb ? k - nb + 1 : 0;
        const std::size_t iend = std::min(k + 1, na);
        for (std::size_t i = ibegin; i < iend; ++i)
        {
            const u128 p = static_cast<u128>(a[i]) * b[k - i];
            acc += p;
            top += static_cast<std::uint64_t>(acc < p);
        }
        // (top, acc) / 10^18 by long division in 64-bit words; top < 10^18 since a column has
        // fewer than 2^57 terms.
        std::uint64_t r = 0;
        const std::uint64_t qh = divide(top, static_cast<std::uint64_t>(acc >> 64), limbbase, r);
        const std::uint64_t ql = divide(r, static_cast<std::uint64_t>(acc), limbbase, r);
        out[k] = r;
        carry = (static_cast<u128>(qh) << 64) | ql;
    }
    return out;
}
}  // namespace

bool alldecimal(const std::int8_t* d, std::size_t len)
{
    unsigned char bad = 0;
    for (std::size_t i = 0; i < len; ++i)
        bad |= static_cast<unsigned char>(static_cast<unsigned char>(d[i]) > 9);
    return bad == 0;
}

void mullow(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* out, std::size_t n)
{
    la = std::min(la, n);
    lb = std::min(lb, n);
    if (la == 0 || lb == 0)
    {
        std::memset(out, 0, n);
        return;
    }
    const std::size_t m = (n + limbdigits - 1) / limbdigits;
    unpack(mullowlimbs(pack(a, la), pack(b, lb), m), out, n);
}
}  // namespace detail
}  // namespace QUORVEL
