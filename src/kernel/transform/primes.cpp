// The primes of the transform, and its tables of roots of unity.
#include "kernel/scratch.hpp"
#include "kernel/transform/tables.hpp"

#include <cstring>

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace
{
constexpr u64 low64(u128 x)
{
    return static_cast<u64>(x);
}

// -p^-1 modulo 2^64 by Newton's iteration (each step doubles the correct bits).
constexpr u64 negativeinverse(u64 p)
{
    u64 inverse = p;  // correct to 3 bits for odd p
    for (int i = 0; i < 5; ++i) inverse *= 2 - p * inverse;
    return 0 - inverse;
}

constexpr prime makeprime(u64 p, u64 root)
{
    const u64 r64 = low64((static_cast<u128>(1) << 64) % p);
    const u64 r52 = (u64{1} << 52) % p;
    return {p,
            root,
            negativeinverse(p),
            negativeinverse(p) & ((u64{1} << 52) - 1),
            low64(static_cast<u128>(r64) * r64 % p),
            low64(static_cast<u128>(r52) * r52 % p)};
}
}  // namespace

const prime primes[3] = {makeprime(1125844072267777ULL, 5), makeprime(1125818302464001ULL, 7),
                         makeprime(1125798975111169ULL, 11)};

u64 powmod(u64 base, u64 exponent, u64 p)
{
    u64 result = 1;
    for (; exponent != 0; exponent >>= 1)
    {
        if (exponent & 1)
            result = low64(static_cast<u128>(result) * base % p);
        base = low64(static_cast<u128>(base) * base % p);
    }
    return result;
}

namespace
{
// A block of tables: the half-length H it holds and the bits of its quotients, then for each
// prime four arrays of 2H words. One block serves every length up to 2H, since w_2h is the same
// root whatever the length.
constexpr std::size_t tablewords(std::size_t halflength)
{
    return 2 + std::size_t{24} * halflength;  // 3 primes, 4 arrays of 2H
}

// floor(x 2^64 / p) for x < p: from a reciprocal of p, at most two too small, then corrected.
struct quotients
{
    explicit quotients(u64 modulus)
        : p(modulus),
          reciprocalhigh(low64(~static_cast<u128>(0) / modulus >> 64)),
          reciprocallow(low64(~static_cast<u128>(0) / modulus))
    {
    }
    u64 operator()(u64 x) const
    {
        u64 q = low64(static_cast<u128>(x) * reciprocalhigh +
                      (static_cast<u128>(x) * reciprocallow >> 64));
        u128 r = (static_cast<u128>(x) << 64) - static_cast<u128>(q) * p;
        while (r >= p)
        {
            ++q;
            r -= p;
        }
        return q;
    }
    u64 p, reciprocalhigh, reciprocallow;
};

// The bits of the root x as a double, for the tables of the lanes of doubles: balanced, in
// [-p / 2, p / 2], which halves the products the lanes make with it (fmalane.hpp).
u64 asbits(u64 x, u64 p)
{
    const double d = x > p / 2 ? -static_cast<double>(p - x) : static_cast<double>(x);
    u64 bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

void filltables(u64* block, std::size_t halflength, unsigned quotientbits)
{
    const std::size_t stride = 2 * halflength;
    for (std::size_t k = 0; k < 3; ++k)
    {
        const prime& m = primes[k];
        const quotients quotient(m.p);
        u64* fw = block + 2 + (4 * k) * stride;
        u64* fq = fw + stride;
        u64* iw = fq + stride;
        u64* iq = iw + stride;
        for (std::size_t h = 1; h <= halflength; h *= 2)
        {
            const u64 w = powmod(m.root, (m.p - 1) / (2 * h), m.p);
            const u64 wm = tomont(w, m), winvm = tomont(powmod(w, 2 * h - 1, m.p), m);
            u64 f = tomont(1, m), i = f;  // Montgomery forms of the powers
            for (std::size_t j = 0; j < h; ++j)
            {
                fw[h + j] = reduce2(redc(f, m), m.p);
                iw[h + j] = reduce2(redc(i, m), m.p);
                fq[h + j] = quotientbits == 0 ? asbits(fw[h + j], m.p)
                                              : quotient(fw[h + j]) >> (64 - quotientbits);
                iq[h + j] = quotientbits == 0 ? asbits(iw[h + j], m.p)
                                              : quotient(iw[h + j]) >> (64 - quotientbits);
                f = reduce2(montmul(f, wm, m), m.p);
                i = reduce2(montmul(i, winvm, m), m.p);
            }
        }
    }
    block[0] = halflength;
    block[1] = quotientbits;
}
}  // namespace

roots::roots(std::size_t half, unsigned quotientbits) : block(keptmemory(slot::roots, 0))
{
    if (block != nullptr && block[0] >= half && block[1] == quotientbits)
        return;
    u64* kept = keptmemory(slot::roots, tablewords(half));
    if (kept == nullptr)
    {
        own.resize(tablewords(half));
        kept = own.data();
    }
    filltables(kept, half, quotientbits);
    block = kept;
}

roottable roots::of(std::size_t k) const
{
    const std::size_t stride = 2 * static_cast<std::size_t>(block[0]);
    const u64* fw = block + 2 + (4 * k) * stride;
    return {fw, fw + stride, fw + 2 * stride, fw + 3 * stride};
}
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
