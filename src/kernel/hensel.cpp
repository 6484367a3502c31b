// Inverses modulo powers of the base by Newton's (Hensel's) lifting: where x y = 1 modulo B^k,
// y (2 - x y) is the inverse modulo B^2k. The first limb is lifted from the inverse modulo 10 in
// two words; then each step doubles the limbs known with two short products.
#include "kernel/product.hpp"
#include "kernel/residues.hpp"
#include "kernel/scratch.hpp"
#include "kernel/transform/backend.hpp"

#include <algorithm>
#include <cassert>
#include <vector>

namespace QUORVEL
{
namespace detail
{
namespace
{
u64 mulbase(u64 a, u64 b)  // a b modulo B
{
    u64 r = 0;
    divbase(static_cast<u128>(a) * b, r);
    return r;
}

// The inverse of x modulo B, for x prime to 10.
u64 inverselimb(u64 x)
{
    static constexpr u64 units[10] = {0, 1, 0, 7, 0, 0, 0, 3, 0, 9};  // inverses modulo 10
    u64 y = units[x % 10];
    assert(y != 0);
    for (std::size_t known = 1; known < limbdigits; known *= 2)
    {
        const u64 t = mulbase(x, y);
        y = mulbase(y, t <= 2 ? 2 - t : limbbase + 2 - t);
    }
    return y;
}

// z[0, n) = B^n - z[0, n), modulo B^n.
void negate(u64* z, std::size_t n)
{
    std::size_t i = 0;
    while (i < n && z[i] == 0) ++i;
    if (i == n)
        return;
    z[i] = limbbase - z[i];
    for (++i; i < n; ++i) z[i] = limbbase - 1 - z[i];
}
}  // namespace

void inverselow(u64* y, const u64* x, std::size_t n)
{
    assert(n > 0 && x[0] % 2 != 0 && x[0] % 5 != 0);
    std::fill(y, y + n, u64{0});
    y[0] = inverselimb(x[0]);
    // The lengths on the way: n, then halves rounded up, down to one limb.
    std::vector<std::size_t> lengths;
    for (std::size_t k = n; k > 1; k = (k + 1) / 2) lengths.push_back(k);
    const transform::backend& via = transform::choosebackend();
    const std::size_t below = shortmulscratch(n, via);
    const scratch space(2 * n + below);
    u64* e = space.data;
    u64* z = e + n;
    u64* rest = z + n;
    std::size_t k = 1;
    for (std::size_t step = lengths.size(); step-- > 0;)
    {
        const std::size_t next = lengths[step];
        // x y = 1 + t B^k modulo B^next (y is zero above its k limbs), and the new limbs of y are
        // -(y t) modulo B^(next - k).
        shortmul(e, x, y, next, rest, via);
        assert(e[0] == 1 && std::all_of(e + 1, e + k, [](u64 l) { return l == 0; }));
        shortmul(z, y, e + k, next - k, rest, via);
        negate(z, next - k);
        std::copy(z, z + (next - k), y + k);
        k = next;
    }
}
}  // namespace detail
}  // namespace QUORVEL
