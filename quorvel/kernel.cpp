// The digit product. Digits are packed into limbs of 18 decimal digits (base 10^18, which leaves
// four spare bits in a 64-bit word), multiplied, and unpacked. Only the low limbs that survive
// the cut back to the width are formed: a short product, schoolbook by columns for small sizes,
// and above a threshold split as low(a*b) = a0*b0 + (low(a1*b0) + low(a0*b1)) * B^k, where the
// full product a0*b0 is formed by Karatsuba.
#include "quorvel/kernel.hpp"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>

namespace QUORVEL
{
namespace detail
{
namespace
{
__extension__ typedef unsigned __int128 u128;  // __extension__: silences -Wpedantic
using u64 = std::uint64_t;

constexpr u64 limbbase = 1000000000000000000ULL;  // 10^18

// Preconditions of the limb routines, checked in Debug builds.
[[maybe_unused]] bool belowbase(const u64* x, std::size_t n)
{
    return std::all_of(x, x + n, [](u64 l) { return l < limbbase; });
}
[[maybe_unused]] bool disjoint(const void* a, std::size_t abytes, const void* b, std::size_t bbytes)
{
    const auto* pa = static_cast<const char*>(a);
    const auto* pb = static_cast<const char*>(b);
    const std::less<const char*> before;  // a total order, also across objects
    return !before(pb, pa + abytes) || !before(pa, pb + bbytes);
}

// Division of a two-word number by 10^18 through a precomputed reciprocal (Moeller and Granlund,
// "Improved division by invariant integers", 2011): two multiplications instead of a divide.
// The divisor is normalised by a shift of four bits, so the dividend is shifted likewise.
constexpr int normshift = 4;
constexpr u64 normdivisor = limbbase << normshift;
constexpr u64 reciprocal =
    static_cast<u64>(((static_cast<u128>(~normdivisor) << 64) | ~u64{0}) / normdivisor);

// Quotient of (u1 * 2^64 + u0) / normdivisor, for u1 < normdivisor; the remainder goes to r.
inline u64 divnorm(u64 u1, u64 u0, u64& r)
{
    u128 q = static_cast<u128>(reciprocal) * u1;
    q += (static_cast<u128>(u1 + 1) << 64) | u0;
    u64 q1 = static_cast<u64>(q >> 64);
    r = u0 - q1 * normdivisor;
    if (r > static_cast<u64>(q))
    {
        --q1;
        r += normdivisor;
    }
    if (r >= normdivisor)
    {
        ++q1;
        r -= normdivisor;
    }
    return q1;
}

// v / 10^18 and v % 10^18, for v < 2^128 (the remainder goes to rem).
inline u128 divbase(u128 v, u64& rem)
{
    const u64 hi = static_cast<u64>(v >> 64), lo = static_cast<u64>(v);
    const u64 n2 = hi >> (64 - normshift);
    const u64 n1 = (hi << normshift) | (lo >> (64 - normshift));
    const u64 n0 = lo << normshift;
    u64 r = 0;
    const u64 q1 = divnorm(n2, n1, r);
    const u64 q0 = divnorm(r, n0, r);
    rem = r >> normshift;
    return (static_cast<u128>(q1) << 64) | q0;
}

// Columns of a schoolbook product: out[k] for k < m from a (na limbs) and b (nb limbs). A column
// has at most min(na, nb) terms below 10^36, so with up to 255 terms and the carry it fits in
// 128 bits.
constexpr std::size_t maxcolumn = 255;

void basecase(u64* out, const u64* a, std::size_t na, const u64* b, std::size_t nb, std::size_t m)
{
    assert(std::min(na, nb) <= maxcolumn && "a column must fit in 128 bits");
    assert(belowbase(a, na) && belowbase(b, nb));
    assert(disjoint(out, m * 8, a, na * 8) && disjoint(out, m * 8, b, nb * 8));
    u128 carry = 0;
    for (std::size_t k = 0; k < m; ++k)
    {
        u128 acc = carry;
        const std::size_t ibegin = k >= nb ? k - nb + 1 : 0;
        const std::size_t iend = std::min(k + 1, na);
        // Two accumulators halve the chain of dependent additions.
        u128 odd = 0;
        std::size_t i = ibegin;
        for (; i + 1 < iend; i += 2)
        {
            acc += static_cast<u128>(a[i]) * b[k - i];
            odd += static_cast<u128>(a[i + 1]) * b[k - i - 1];
        }
        if (i < iend)
            acc += static_cast<u128>(a[i]) * b[k - i];
        carry = divbase(acc + odd, out[k]);
    }
}

// r[0, n] = a[0, n) + b[0, n); returns nothing, r[n] is the carry limb.
void addlimbs(u64* r, const u64* a, const u64* b, std::size_t n)
{
    u64 carry = 0;
    for (std::size_t i = 0; i < n; ++i)
    {
        const u64 s = a[i] + b[i] + carry;  // below 2^61: no overflow
        carry = s >= limbbase;
        r[i] = carry ? s - limbbase : s;
    }
    r[n] = carry;
}

// r[0, nr) -= s[0, ns), for r >= s.
void sublimbs(u64* r, std::size_t nr, const u64* s, std::size_t ns)
{
    u64 borrow = 0;
    for (std::size_t i = 0; i < nr && (i < ns || borrow); ++i)
    {
        const u64 t = (i < ns ? s[i] : 0) + borrow;
        borrow = r[i] < t;
        r[i] = borrow ? r[i] + limbbase - t : r[i] - t;
    }
}

// r[0, nr) += s[0, ns), dropping a carry out of r.
void addinto(u64* r, std::size_t nr, const u64* s, std::size_t ns)
{
    u64 carry = 0;
    for (std::size_t i = 0; i < nr && (i < ns || carry); ++i)
    {
        const u64 t = r[i] + (i < ns ? s[i] : 0) + carry;
        carry = t >= limbbase;
        r[i] = carry ? t - limbbase : t;
    }
}

// Thresholds in limbs, measured with bench/ (BM_limbkernel): below them the column schoolbook
// wins, its inner loop being a multiply and a 128-bit add per term.
constexpr std::size_t karatsubafrom = 200;
constexpr std::size_t shortfrom = 128;
static_assert(karatsubafrom <= maxcolumn + 1 && shortfrom <= maxcolumn + 1,
              "the schoolbook's columns must fit in 128 bits");

// Scratch limbs that fullproduct(n) needs below it.
std::size_t fullscratch(std::size_t n)
{
    return n < karatsubafrom ? 0 : 4 * ((n + 1) / 2 + 1) + fullscratch((n + 1) / 2 + 1);
}

// r[0, 2n) = a[0, n) * b[0, n), by Karatsuba above the threshold.
void fullproduct(u64* r, const u64* a, const u64* b, std::size_t n, u64* scratch)
{
    if (n < karatsubafrom)
    {
        basecase(r, a, n, b, n, 2 * n);
        return;
    }
    const std::size_t k = (n + 1) / 2, h = n - k;
    u64* sa = scratch;
    u64* sb = sa + (k + 1);
    u64* mid = sb + (k + 1);
    u64* below = mid + 2 * (k + 1);
    fullproduct(r, a, b, k, below);                  // a0 * b0 in r[0, 2k)
    fullproduct(r + 2 * k, a + k, b + k, h, below);  // a1 * b1 in r[2k, 2n)
    // a0 + a1 and b0 + b1, with a1, b1 padded to k limbs.
    std::memcpy(mid, a + k, h * sizeof(u64));
    std::memset(mid + h, 0, (k - h) * sizeof(u64));
    addlimbs(sa, a, mid, k);
    std::memcpy(mid, b + k, h * sizeof(u64));
    std::memset(mid + h, 0, (k - h) * sizeof(u64));
    addlimbs(sb, b, mid, k);
    fullproduct(mid, sa, sb, k + 1, below);  // (a0 + a1)(b0 + b1), 2k + 2 limbs
    sublimbs(mid, 2 * k + 2, r, 2 * k);
    sublimbs(mid, 2 * k + 2, r + 2 * k, 2 * h);
    addinto(r + k, 2 * n - k, mid, 2 * k + 2);
}

std::size_t shortsplit(std::size_t m)
{
    return (7 * m + 9) / 10;  // a0 * b0 covers about 70% of the low limbs
}

std::size_t shortscratch(std::size_t m)
{
    if (m < shortfrom)
        return 0;
    const std::size_t k = shortsplit(m), l = m - k;
    return 2 * k + l + std::max(fullscratch(k), shortscratch(l));
}

// r[0, m) = the low m limbs of a[0, m) * b[0, m).
void shortproduct(u64* r, const u64* a, const u64* b, std::size_t m, u64* scratch)
{
    if (m < shortfrom)
    {
        basecase(r, a, m, b, m, m);
        return;
    }
    const std::size_t k = shortsplit(m), l = m - k;
    u64* full = scratch;
    u64* part = full + 2 * k;
    u64* below = part + l;
    fullproduct(full, a, b, k, below);
    std::memcpy(r, full, m * sizeof(u64));
    shortproduct(part, a + k, b, l, below);  // low l limbs of a1 * b0
    addinto(r + k, l, part, l);
    shortproduct(part, a, b + k, l, below);  // low l limbs of a0 * b1
    addinto(r + k, l, part, l);
}

// Nonzero when a byte of x is above 9 (seen as unsigned): adding 118 sets its top bit.
inline u64 baddigits(u64 x)
{
    return ((x + 0x7676767676767676ULL) | x) & 0x8080808080808080ULL;
}

// The value of eight digits, byte 0 the least significant: pairs, then quadruples, then eight.
inline u64 gather8(u64 x)
{
    x = (x & 0x00FF00FF00FF00FFULL) + ((x >> 8) & 0x00FF00FF00FF00FFULL) * 10;
    x = (x & 0x0000FFFF0000FFFFULL) + ((x >> 16) & 0x0000FFFF0000FFFFULL) * 100;
    return (x & 0xFFFFFFFFULL) + (x >> 32) * 10000;
}

inline u64 load8(const std::int8_t* d)
{
    u64 x = 0;
    for (std::size_t i = 0; i < 8; ++i)  // byte i is digit i, on any byte order
        x |= static_cast<u64>(static_cast<std::uint8_t>(d[i])) << (8 * i);
    return x;
}

// Packs `len` digits into `limbs` (count limbs, zero above the digits). Digits outside 0 to 9
// are read modulo 10.
void pack(const std::int8_t* d, std::size_t len, u64* limbs, std::size_t count)
{
    for (std::size_t l = 0; l < count; ++l)
    {
        const std::size_t lo = std::min(len, l * limbdigits);
        const std::size_t hi = std::min(len, lo + limbdigits);
        if (hi - lo == limbdigits)
        {
            const u64 x0 = load8(d + lo), x1 = load8(d + lo + 8);
            const auto t0 = static_cast<std::uint8_t>(d[lo + 16]);
            const auto t1 = static_cast<std::uint8_t>(d[lo + 17]);
            if ((baddigits(x0) | baddigits(x1)) == 0 && t0 <= 9 && t1 <= 9)
            {
                limbs[l] = gather8(x0) + gather8(x1) * 100000000ULL +
                           (t0 + 10 * u64{t1}) * 10000000000000000ULL;
                continue;
            }
        }
        u64 v = 0;
        for (std::size_t i = hi; i-- > lo;)
        {
            const int digit = d[i] % 10;
            v = v * 10 + static_cast<u64>(digit < 0 ? digit + 10 : digit);
        }
        limbs[l] = v;
    }
}

// Eight digits of y < 10^8, least significant first, one per byte of the result: two four-digit
// halves, split into pairs (division by 100 as a multiply-shift), then into digits (by 10).
inline u64 spread8(u64 y)
{
    const u64 hi4 = y / 10000;
    u64 x = (y - hi4 * 10000) | (hi4 << 32);  // 32-bit lanes below 10^4
    const u64 hundreds = ((x * 5243) >> 19) & 0x0000007F0000007FULL;
    x = (x - hundreds * 100) | (hundreds << 16);  // 16-bit lanes below 100
    const u64 tens = ((x * 103) >> 10) & 0x000F000F000F000FULL;
    return (x - tens * 10) | (tens << 8);  // bytes below 10
}

// Stores the eight digits of spread8 at d, digit 0 first.
inline void store8(std::int8_t* d, u64 w)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(d, &w, 8);
#else
    for (std::size_t i = 0; i < 8; ++i) d[i] = static_cast<std::int8_t>(w >> (8 * i));
#endif
}

// Writes the 18 digits of v < 10^18 at d.
inline void unpacklimb(u64 v, std::int8_t* d)
{
    const u64 q = v / 100000000ULL, q2 = q / 100000000ULL;
    store8(d, spread8(v - q * 100000000ULL));
    store8(d + 8, spread8(q - q2 * 100000000ULL));
    d[16] = static_cast<std::int8_t>(q2 % 10);
    d[17] = static_cast<std::int8_t>(q2 / 10);
}

// Writes the low n digits of limbs[0, ceil(n / 18)).
void unpack(const u64* limbs, std::int8_t* out, std::size_t n)
{
    const std::size_t full = n / limbdigits;
    for (std::size_t l = 0; l < full; ++l) unpacklimb(limbs[l], out + l * limbdigits);
    if (const std::size_t rest = n - full * limbdigits)
    {
        std::int8_t last[limbdigits];
        unpacklimb(limbs[full], last);
        std::memcpy(out + full * limbdigits, last, rest);
    }
}
}  // namespace

bool alldecimal(const std::int8_t* d, std::size_t len)
{
    u64 bad = 0;
    std::size_t i = 0;
    for (; i + 8 <= len; i += 8) bad |= baddigits(load8(d + i));
    for (; i < len; ++i) bad |= static_cast<std::uint8_t>(d[i]) > 9;
    return bad == 0;
}

namespace
{
// Scratch memory kept between products, so that a product allocates nothing once the largest
// width was seen. It is held in a trivially destructible thread_local, which lives as long as its
// thread; a separate thread_local frees it when the thread ends. Products after that (in static
// destructors, atexit handlers, other thread_local destructors) use scratch of their own.
struct scratchstore
{
    u64* data;  // NOLINT(cppcoreguidelines-owning-memory): must stay trivially destructible
    std::size_t size;
    bool finished;
};
thread_local scratchstore store;

struct scratchrelease
{
    scratchrelease() = default;
    scratchrelease(const scratchrelease&) = delete;
    scratchrelease& operator=(const scratchrelease&) = delete;
    scratchrelease(scratchrelease&&) = delete;
    scratchrelease& operator=(scratchrelease&&) = delete;
    ~scratchrelease()
    {
        delete[] store.data;  // NOLINT(cppcoreguidelines-owning-memory): see scratchstore
        store = {nullptr, 0, true};
    }
};
thread_local scratchrelease release;

// `need` limbs of scratch for one product.
class scratch
{
public:
    explicit scratch(std::size_t need)
    {
        if (store.finished)
        {
            own = std::unique_ptr<u64[]>(new u64[need]);  // not zeroed: it is written before read
            data = own.get();
            return;
        }
        (void)&release;  // makes sure the store is freed when the thread ends
        if (store.size < need)
        {
            std::unique_ptr<u64[]> fresh(new u64[need]);
            delete[] store.data;  // NOLINT(cppcoreguidelines-owning-memory): see scratchstore
            store.data = fresh.release();
            store.size = need;
        }
        data = store.data;
    }
    ~scratch() = default;
    scratch(const scratch&) = delete;
    scratch& operator=(const scratch&) = delete;
    scratch(scratch&&) = delete;
    scratch& operator=(scratch&&) = delete;

    u64* data = nullptr;

private:
    std::unique_ptr<u64[]> own;
};
}  // namespace

void limbproduct(u64* r, const u64* a, const u64* b, std::size_t m)
{
    assert(belowbase(a, m) && belowbase(b, m));
    assert(disjoint(r, m * 8, a, m * 8) && disjoint(r, m * 8, b, m * 8));
    const scratch space(shortscratch(m));
    shortproduct(r, a, b, m, space.data);  // schoolbook when small
}

void mullow(const std::int8_t* a, std::size_t la, const std::int8_t* b, std::size_t lb,
            std::int8_t* out, std::size_t n)
{
    assert(disjoint(out, n, a, la) && disjoint(out, n, b, lb));
    la = std::min(la, n);
    lb = std::min(lb, n);
    if (la == 0 || lb == 0)
    {
        std::memset(out, 0, n);
        return;
    }
    const std::size_t m = (n + limbdigits - 1) / limbdigits;  // limbs of the result
    std::size_t na = (la + limbdigits - 1) / limbdigits, nb = (lb + limbdigits - 1) / limbdigits;
    const bool karatsuba = std::min(na, nb) >= shortfrom;
    if (karatsuba)
        na = nb = m;  // the split works on operands padded to the result's length
    // Limbs of a, b and the result, then the scratch of the split products.
    const scratch space(na + nb + m + (karatsuba ? shortscratch(m) : 0));
    u64* pa = space.data;
    u64* pb = pa + na;
    u64* pr = pb + nb;
    pack(a, la, pa, na);
    pack(b, lb, pb, nb);
    if (karatsuba)
        shortproduct(pr, pa, pb, m, pr + m);
    else
        basecase(pr, pa, na, pb, nb, m);
    unpack(pr, out, n);
}
}  // namespace detail
}  // namespace QUORVEL
