// Modular powers by sliding windows over the exponent's bits, left to right. Residues of one limb
// multiply in two words; longer ones are multiplied whole and reduced by Barrett's method.
#include "kernel/product.hpp"
#include "kernel/residues.hpp"
#include "kernel/transform/backend.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace QUORVEL
{
namespace detail
{
namespace
{
std::size_t bitlength(const std::vector<u64>& e)
{
    if (e.empty())
        return 0;
    std::size_t bits = 64 * e.size();
    for (u64 top = e.back(); (top >> 63) == 0; top <<= 1) --bits;
    return bits;
}

bool bit(const std::vector<u64>& e, std::size_t i)
{
    return ((e[i / 64] >> (i % 64)) & 1) != 0;
}

// Bits per window: the table of odd powers costs 2^(k - 1) products, each window saves about
// k - 1 of them over bit by bit.
unsigned windowbits(std::size_t bits)
{
    return bits > 671 ? 6 : bits > 239 ? 5 : bits > 79 ? 4 : bits > 23 ? 3 : bits > 7 ? 2 : 1;
}

// Slots of residues: 0 is the power, 1 the square of the base, 2 + i the base^(2i + 1).
constexpr std::size_t powerslot = 0, squareslot = 1, tableslot = 2;

// Residues modulo a number of one limb.
class wordring
{
public:
    wordring(u64 modulus, u64 base, std::size_t slots) : m(modulus), s(slots)
    {
        s[tableslot] = base;
    }
    void multiply(std::size_t to, std::size_t a, std::size_t b)
    {
        const u128 p = static_cast<u128>(s[a]) * s[b];  // below m^2: its top word is below m
        divide2by1(static_cast<u64>(p >> 64), static_cast<u64>(p), m, s[to]);
    }
    void copy(std::size_t to, std::size_t from) { s[to] = s[from]; }
    natural value(std::size_t slot) const { return s[slot] == 0 ? natural{} : natural{s[slot]}; }

private:
    u64 m;
    std::vector<u64> s;
};

// Residues modulo a number m of n >= 2 limbs, each n limbs, reduced by Barrett's method (Menezes,
// van Oorschot and Vanstone, "Handbook of Applied Cryptography", 14.42) with mu = B^2n / m made
// once: for x = a b below m^2, q = (x / B^(n-1)) mu / B^(n+1) is at most three below x / m, and
// x - q m, formed modulo B^(n+1), is brought below m by at most three subtractions. Each product
// is the library's full or low product, so long residues multiply by the transform.
class limbring
{
public:
    limbring(const natural& modulus, const natural& base, std::size_t slots)
        : n(modulus.size()),
          via(transform::choosebackend()),
          m(modulus),
          mu(n + 1),
          x(2 * n),
          q(2 * n + 2),
          r(n + 1),
          below(std::max(std::max(fullmulscratch(n, n, via), fullmulscratch(n + 1, n + 1, via)),
                         shortmulscratch(n + 1, via))),
          s(slots * n)
    {
        natural top(2 * n + 1, 0), quotient;
        top.back() = 1;  // B^2n
        divmod(top, modulus, &quotient, nullptr);
        if (quotient.size() > n + 1)  // m = B^(n-1): one less still makes an estimate
            quotient.assign(n + 1, limbbase - 1);
        std::copy(quotient.begin(), quotient.end(), mu.begin());
        m.push_back(0);  // n + 1 limbs, for the low product
        std::copy(base.begin(), base.end(), at(tableslot));
    }
    void multiply(std::size_t to, std::size_t a, std::size_t b)
    {
        fullmul(x.data(), at(a), n, at(b), n, below.data(), via);
        fullmul(q.data(), x.data() + n - 1, n + 1, mu.data(), n + 1, below.data(), via);
        shortmul(r.data(), q.data() + n + 1, m.data(), n + 1, below.data(), via);
        sublimbs(x.data(), n + 1, r.data(), n + 1);  // modulo B^(n+1): the borrow drops
        while (comparelimbs(x.data(), m.data(), n + 1) >= 0) sublimbs(x.data(), n + 1, m.data(), n);
        std::memcpy(at(to), x.data(), n * sizeof(u64));
    }
    void copy(std::size_t to, std::size_t from) { std::memcpy(at(to), at(from), n * sizeof(u64)); }
    natural value(std::size_t slot)
    {
        natural v(at(slot), at(slot) + n);
        trim(v);
        return v;
    }

private:
    u64* at(std::size_t slot) { return s.data() + slot * n; }

    std::size_t n;
    const transform::backend& via;
    natural m;
    std::vector<u64> mu, x, q, r, below, s;
};

template <class ring>
natural slide(const std::vector<u64>& e, std::size_t bits, unsigned k, ring& z)
{
    const std::size_t odd = std::size_t{1} << (k - 1);
    if (odd > 1)
    {
        z.multiply(squareslot, tableslot, tableslot);
        for (std::size_t i = 1; i < odd; ++i)
            z.multiply(tableslot + i, tableslot + i - 1, squareslot);
    }
    bool started = false;
    for (std::size_t i = bits; i-- > 0;)
    {
        if (!bit(e, i))
        {
            z.multiply(powerslot, powerslot, powerslot);  // started: the top bit is set
            continue;
        }
        // The window [low, i]: at most k bits, ending in a set bit.
        std::size_t low = i + 1 >= k ? i + 1 - k : 0;
        while (!bit(e, low)) ++low;
        std::size_t window = 0;
        for (std::size_t j = i + 1; j-- > low;) window = 2 * window + (bit(e, j) ? 1 : 0);
        if (started)
        {
            for (std::size_t j = low; j <= i; ++j) z.multiply(powerslot, powerslot, powerslot);
            z.multiply(powerslot, powerslot, tableslot + window / 2);
        }
        else
            z.copy(powerslot, tableslot + window / 2);
        started = true;
        i = low;
    }
    return z.value(powerslot);
}
}  // namespace

std::vector<std::uint64_t> binarywords(const natural& x)
{
    std::vector<u64> w;
    for (std::size_t i = x.size(); i-- > 0;)
    {
        u64 carry = x[i];
        for (u64& word : w)
        {
            const u128 t = static_cast<u128>(word) * limbbase + carry;
            word = static_cast<u64>(t);
            carry = static_cast<u64>(t >> 64);
        }
        if (carry != 0)
            w.push_back(carry);
    }
    return w;
}

natural powmod(const natural& base, const std::vector<std::uint64_t>& exponent, const natural& m)
{
    assert(!m.empty());
    if (m == natural{1})
        return {};
    const std::size_t bits = bitlength(exponent);
    if (bits == 0)
        return {1};
    natural b;
    divmod(base, m, nullptr, &b);
    if (b.empty())
        return {};
    const unsigned k = windowbits(bits);
    const std::size_t slots = tableslot + (std::size_t{1} << (k - 1));
    if (m.size() == 1)
    {
        wordring z(m[0], b[0], slots);
        return slide(exponent, bits, k, z);
    }
    b.resize(m.size(), 0);
    limbring z(m, b, slots);
    return slide(exponent, bits, k, z);
}
}  // namespace detail
}  // namespace QUORVEL
