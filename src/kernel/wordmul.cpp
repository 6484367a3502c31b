// Products in words of eight digits. Both operands become words (below 10^8); the columns of their
// product (sums of products below 10^16, so a column of up to 1,800 of them fits a 64-bit word)
// come from the backend's vector kernel; a balanced full product above a threshold is split by
// Karatsuba on the columns themselves, which stay unnormalised (the sums of halves stay below
// 2^32, and the middle product minus the outer ones is exact), so that carries are taken once, at
// the end. The carries run in four independent chains over four stretches of the columns, each
// chain's carry then added where the next stretch starts; the words give their digits.
#include "kernel/wordmul.hpp"

#include "kernel/scratch.hpp"
#include "kernel/tuning.hpp"
#include "kernel/wordcolumns.hpp"
#include "kernel/words.hpp"

#include <algorithm>
#include <cassert>

namespace QUORVEL
{
namespace detail
{
namespace
{
using word = std::uint32_t;

// The largest column the carries take: with a carry from below (under 2^64 / 10^8) it stays
// below 2^64.
constexpr u64 columnmost = 18000000000000000000ULL;
static_assert(tuning::wordmulupto / 8 * (wordbase - 1) * (wordbase - 1) <= columnmost,
              "the plain columns of the longest operands fit the carries");

// Words of scratch in limbs.
std::size_t limbsofwords(std::size_t words)
{
    return words / 2 + 1;
}
word* words(arena& room, std::size_t count)
{
    return static_cast<word*>(static_cast<void*>(room.take(limbsofwords(count))));
}

// c[0, count) = the low `count` columns of x * y (count <= nx + ny - 1).
void plaincolumns(u64* c, std::size_t count, const word* x, std::size_t nx, const word* y,
                  std::size_t ny, arena room, columnkernel kernel)
{
    u64* lanes = room.take(ny + 2 * columnpad);
    std::fill(lanes, lanes + columnpad, u64{0});
    std::copy(y, y + ny, lanes + columnpad);
    std::fill(lanes + columnpad + ny, lanes + ny + 2 * columnpad, u64{0});
    kernel(c, count, x, nx, lanes + columnpad, ny);
}

// Whether a product of n-word operands below `top` splits once more: the halves' sums (below
// 2 top, which must stay below 2^32) make columns of k words below columnmost.
bool splits(std::size_t n, u64 top)
{
    const std::size_t k = (n + 1) / 2;
    const u64 sums = 2 * top;  // the bound of the halves' sums
    return n >= tuning::wordkaratsubafrom && sums < (u64{1} << 32) &&
           static_cast<u128>(k) * sums * sums <= columnmost;
}

// Scratch (limbs) of karatsuba(n): the halves' sums, the middle columns, then what is below.
std::size_t karatsubascratch(std::size_t n, u64 top)
{
    if (!splits(n, top))
        return n + 2 * columnpad;
    const std::size_t k = (n + 1) / 2;
    return 2 * limbsofwords(k) + 2 * k + karatsubascratch(k, 2 * top);
}

// c[0, 2n - 1) = the columns of x * y, both of n words below `top`.
void karatsuba(u64* c, const word* x, const word* y, std::size_t n, u64 top, arena room,
               columnkernel kernel)
{
    if (!splits(n, top))
    {
        plaincolumns(c, 2 * n - 1, x, n, y, n, room, kernel);
        return;
    }
    const std::size_t k = (n + 1) / 2, h = n - k;
    karatsuba(c, x, y, k, top, room, kernel);  // x0 y0 in c[0, 2k - 1)
    c[2 * k - 1] = 0;
    karatsuba(c + 2 * k, x + k, y + k, h, top, room, kernel);  // x1 y1 in c[2k, 2n - 1)
    word* sx = words(room, k);
    word* sy = words(room, k);
    for (std::size_t i = 0; i < h; ++i)
    {
        sx[i] = x[i] + x[k + i];
        sy[i] = y[i] + y[k + i];
    }
    if (h < k)  // n odd: the halves' top words alone
    {
        sx[h] = x[h];
        sy[h] = y[h];
    }
    u64* mid = room.take(2 * k);
    karatsuba(mid, sx, sy, k, 2 * top, room, kernel);  // (x0 + x1)(y0 + y1)
    // The middle columns less x0 y0 and x1 y1 (2k - 1 and 2h - 1 of them), added at k.
    std::size_t i = 0;
    for (; i + 1 < 2 * h; ++i) mid[i] -= c[i] + c[2 * k + i];
    for (; i < 2 * k - 1; ++i) mid[i] -= c[i];
    for (i = 0; i < 2 * k - 1; ++i) c[k + i] += mid[i];  // x0 y1 + x1 y0
}

// Adds `carry` to the words w[at, m), as far as it goes; what passes w[m - 1] is dropped.
void carryinto(word* w, std::size_t at, std::size_t m, u64 carry)
{
    for (; carry != 0 && at < m; ++at) w[at] = wordof(w[at] + carry, carry);
}

// w[0, m) = the low m words of the number whose columns in base 10^8 are c[0, count), count <= m
// and each column at most columnmost. A carry takes a multiply's latency per column, so four
// stretches of the columns are carried at once, each stretch's carry then added to the next.
void columnwords(const u64* c, std::size_t count, word* w, std::size_t m)
{
    const std::size_t q = count / 4;
    u64 c0 = 0, c1 = 0, c2 = 0, c3 = 0;
    const u64* s1 = c + q;
    const u64* s2 = c + 2 * q;
    const u64* s3 = c + 3 * q;
    word* w1 = w + q;
    word* w2 = w + 2 * q;
    word* w3 = w + 3 * q;
    for (std::size_t j = 0; j < q; ++j)
    {
        w[j] = wordof(c[j] + c0, c0);
        w1[j] = wordof(s1[j] + c1, c1);
        w2[j] = wordof(s2[j] + c2, c2);
        w3[j] = wordof(s3[j] + c3, c3);
    }
    for (std::size_t j = 4 * q; j < count; ++j)  // the last stretch's own tail
        w[j] = wordof(c[j] + c3, c3);
    std::fill(w + count, w + m, word{0});
    carryinto(w, count, m, c3);
    carryinto(w, q, m, c0);
    carryinto(w, 2 * q, m, c1);
    carryinto(w, 3 * q, m, c2);
}
}  // namespace

bool wordmulfits(std::size_t la, std::size_t lb, const transform::backend& via)
{
    return via.words != nullptr && la <= tuning::wordmulupto && lb <= tuning::wordmulupto;
}

bool wordmul(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
             std::int8_t* out, std::size_t n, const transform::backend& via)
{
    assert(wordmulfits(la, lb, via) && la > 0 && lb > 0 && la <= n && lb <= n);
    const std::size_t nx = wordsfor(la), ny = wordsfor(lb), m = wordsfor(n);
    const std::size_t full = nx + ny - 1;     // the product's columns
    const std::size_t n2 = std::max(nx, ny);  // Karatsuba's operands, padded
    const bool balanced = full <= m && 4 * std::min(nx, ny) >= 3 * n2 && splits(n2, wordbase);
    const std::size_t count = std::min(full, m), columns = balanced ? 2 * n2 : count;
    const std::size_t below = balanced ? karatsubascratch(n2, wordbase) : ny + 2 * columnpad;
    const std::size_t limbs = 2 * limbsofwords(n2) + limbsofwords(m) + columns + below;
    const scratch space(limbs);
    arena room(space.data, limbs);
    word* x = words(room, n2);
    word* y = words(room, n2);
    word* w = words(room, m);
    u64 bad = 0;
    via.words->words(a, la, x, bad);
    via.words->words(b, lb, y, bad);
    if (bad != 0)
        return false;
    u64* c = room.take(columns);
    if (balanced)
    {
        std::fill(x + nx, x + n2, word{0});
        std::fill(y + ny, y + n2, word{0});
        karatsuba(c, x, y, n2, wordbase, room, via.words->columns);
    }
    else
        plaincolumns(c, count, x, nx, y, ny, room, via.words->columns);
    columnwords(c, count, w, m);
    via.words->digits(w, out, n);
    return true;
}
}  // namespace detail
}  // namespace QUORVEL
