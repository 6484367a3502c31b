// Natural numbers of any length on the limb kernels: conversions, comparison, the four operations
// and powers.
#include "kernel/natural.hpp"

#include "kernel/divide.hpp"
#include "kernel/limbdigits.hpp"
#include "kernel/product.hpp"
#include "kernel/scratch.hpp"
#include "kernel/small.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace QUORVEL
{
namespace detail
{
namespace
{
// The decimal digits of a limb (1 for zero).
std::size_t limbwidth(u64 limb)
{
    std::size_t n = 1;
    for (u64 p = 10; n < limbdigits && limb >= p; p *= 10) ++n;
    return n;
}

constexpr u64 tens[limbdigits] = {1,
                                  10,
                                  100,
                                  1000,
                                  10000,
                                  100000,
                                  1000000,
                                  10000000,
                                  100000000,
                                  1000000000,
                                  10000000000,
                                  100000000000,
                                  1000000000000,
                                  10000000000000,
                                  100000000000000,
                                  1000000000000000,
                                  10000000000000000,
                                  100000000000000000};
}  // namespace

void trim(natural& x)
{
    x.resize(limblength(x.data(), x.size()));
}

natural fromdigits(const std::int8_t* d, std::size_t n)
{
    natural x(limbsfor(n));
    pack(d, n, x.data(), x.size());
    trim(x);
    return x;
}

void todigits(const natural& x, std::int8_t* out, std::size_t n)
{
    const std::size_t used = std::min(n, x.size() * limbdigits);
    unpack(x.data(), out, used);
    std::fill(out + used, out + n, std::int8_t{0});
}

natural fromsmall(u128 v)
{
    natural x;
    while (v != 0)
    {
        u64 limb = 0;
        v = divbase(v, limb);
        x.push_back(limb);
    }
    return x;
}

bool tosmall(const natural& x, u128& v)
{
    if (digitlength(x) > twowords)
        return false;
    v = 0;
    for (std::size_t i = x.size(); i-- > 0;) v = v * limbbase + x[i];
    return true;
}

std::size_t digitlength(const natural& x)
{
    return x.empty() ? 0 : (x.size() - 1) * limbdigits + limbwidth(x.back());
}

double log10of(const natural& x)
{
    assert(!x.empty());
    // The top two limbs carry 19 significant digits or more, more than a double holds.
    const std::size_t n = x.size();
    double top = static_cast<double>(x[n - 1]);
    if (n > 1)
        top = top * 1e18 + static_cast<double>(x[n - 2]);
    const std::size_t below = n > 1 ? n - 2 : 0;
    return std::log10(top) + static_cast<double>(below * limbdigits);
}

int compare(const natural& a, const natural& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return comparelimbs(a.data(), b.data(), a.size());
}

natural add(const natural& a, const natural& b)
{
    const natural& longer = a.size() >= b.size() ? a : b;
    const natural& shorter = a.size() >= b.size() ? b : a;
    natural r(longer.size() + 1);
    std::copy(longer.begin(), longer.end(), r.begin());
    r.back() = addinto(r.data(), longer.size(), shorter.data(), shorter.size());
    trim(r);
    return r;
}

natural subtract(const natural& a, const natural& b)
{
    assert(compare(a, b) >= 0);
    natural r = a;
    sublimbs(r.data(), r.size(), b.data(), b.size());
    trim(r);
    return r;
}

natural multiply(const natural& a, const natural& b)
{
    if (a.empty() || b.empty())
        return {};
    const transform::backend& via = transform::choosebackend();
    natural r(a.size() + b.size());
    const scratch room(fullmulscratch(a.size(), b.size(), via));
    fullmul(r.data(), a.data(), a.size(), b.data(), b.size(), room.data, via);
    trim(r);
    return r;
}

natural multiply(const natural& a, u64 f)
{
    assert(f < limbbase);
    natural r(a.size() + 1);
    mulsingle(r.data(), a.data(), a.size(), f);
    trim(r);
    return r;
}

void divmod(const natural& a, const natural& b, natural* q, natural* r)
{
    assert(!b.empty() && q != &a && q != &b && r != &a && r != &b);
    if (compare(a, b) < 0)
    {
        if (r != nullptr)
            *r = a;
        if (q != nullptr)
            q->clear();
        return;
    }
    const transform::backend& via = transform::choosebackend();
    natural quotient(a.size() - b.size() + 1), remainder(b.size());
    const scratch room(dividescratch(a.size(), b.size(), via));
    detail::divide(quotient.data(), remainder.data(), a.data(), a.size(), b.data(), b.size(),
                   arena(room.data, dividescratch(a.size(), b.size(), via)), via);
    trim(quotient);
    trim(remainder);
    if (q != nullptr)
        q->swap(quotient);
    if (r != nullptr)
        r->swap(remainder);
}

u64 divide(natural& a, u64 d)
{
    assert(d > 0 && d < limbbase);
    const u64 r = divsingle(a.data(), a.data(), a.size(), d);
    trim(a);
    return r;
}

natural shiftup(const natural& a, std::size_t k)
{
    if (a.empty())
        return {};
    natural r(k / limbdigits, 0);
    r.insert(r.end(), a.begin(), a.end());
    return multiply(r, tens[k % limbdigits]);
}

natural shiftdown(const natural& a, std::size_t k)
{
    if (k / limbdigits >= a.size())
        return {};
    natural r(a.begin() + static_cast<std::ptrdiff_t>(k / limbdigits), a.end());
    if (k % limbdigits != 0)
        divide(r, tens[k % limbdigits]);
    return r;
}

natural power(const natural& a, std::uint64_t k)
{
    natural r{1};
    if (k == 0)
        return r;
    int bit = 63;
    while ((k >> bit) == 0) --bit;
    r = a;
    while (bit-- > 0)
    {
        r = multiply(r, r);
        if ((k >> bit) & 1)
            r = multiply(r, a);
    }
    return r;
}
}  // namespace detail
}  // namespace QUORVEL
