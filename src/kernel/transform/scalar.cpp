// The transform's scalar backend: one value at a time in a 64-bit word, Shoup's products with
// 64-bit quotients and Montgomery's with R = 2^64, on the 128-bit product. Runs everywhere.
#include "kernel/transform/backend.hpp"
#include "kernel/transform/engine.hpp"
#include "kernel/transform/transform.hpp"

namespace QUORVEL
{
namespace detail
{
namespace transform
{
namespace
{
struct scalarlane
{
    static constexpr std::size_t width = 1;
    using vec = u64;
    struct constants
    {
        u64 p, twop;
        const prime* m;
    };

    static constants prepare(const prime& m, const roottable& /*tables*/)
    {
        return {m.p, 2 * m.p, &m};
    }
    static u64 load(const u64* p) { return *p; }
    static void store(u64* p, u64 x) { *p = x; }
    static void residuesof(u64* x, const u64* a, std::size_t na, const prime& m,
                           const constants& /*c*/)
    {
        integerresidues(x, a, na, m);
    }
    static void storeinteger(u64* p, u64 x) { *p = x; }
    static u64 reduce(u64 x, u64 k) { return reduce2(x, k); }
    /// A value the transforms leave (below 4p), as a factor of montmul.
    static u64 fromlazy(u64 x, const constants& c) { return reduce(x, c.twop); }
    static u64 montmul(u64 a, u64 b, const constants& c) { return transform::montmul(a, b, *c.m); }
    static u64 montgomeryform(u64 x, const constants& c) { return tomont(x, *c.m); }
    static u64 scaling(u64 factor, const prime& m, const constants& /*c*/)
    {
        return static_cast<u64>(static_cast<u128>(m.rsquare) * factor % m.p);
    }

    // Shoup's product w * y modulo p in [0, 2p), for a fixed w < p with wq = floor(w 2^64 / p)
    // and any y < 2^64.
    static u64 shoup(u64 w, u64 wq, u64 y, u64 p)
    {
        const u64 q = static_cast<u64>((static_cast<u128>(wq) * y) >> 64);
        return w * y - q * p;
    }
    // u, v in [0, 2p) to u + v and (u - v) w, in [0, 2p).
    static void forwardbutterfly(u64& u, u64& v, u64 w, u64 wq, const constants& c)
    {
        const u64 s = u + v;
        const u64 d = u - v + c.twop;
        u = reduce2(s, c.twop);
        v = shoup(w, wq, d, c.p);
    }
    static void forwardsecond(u64& u, u64& v, u64 w, u64 wq, const constants& c)
    {
        forwardbutterfly(u, v, w, wq, c);
    }
    // u, v in [0, 4p) to u + v w and u - v w, in [0, 4p).
    static void inversebutterfly(u64& u, u64& v, u64 w, u64 wq, const constants& c)
    {
        const u64 x = reduce2(u, c.twop);
        const u64 y = shoup(w, wq, v, c.p);
        u = x + y;
        v = x - y + c.twop;
    }
    static void inversesecond(u64& u, u64& v, u64 w, u64 wq, const constants& c)
    {
        inversebutterfly(u, v, w, wq, c);
    }
    // The inverse of a truncated transform where the upper value is known (engine.hpp,
    // `inversefirst`): u in [0, 4p) and v in [0, 2p) to 2u - v in [0, 4p) and (u - v) w in
    // [0, 2p).
    static void truncatedbutterfly(u64& u, u64& v, u64 w, u64 wq, const constants& c)
    {
        const u64 x = reduce2(reduce2(u, c.twop), c.p);
        const u64 d = x + c.twop - v;
        u = x + d;
        v = shoup(w, wq, d, c.p);
    }
};

bool always()
{
    return true;
}
}  // namespace

const backend scalarbackend{
    "scalar",  always, tuning::transformfromscalar, 64, engine<scalarlane>::residues,
    recombine, nullptr};
}  // namespace transform
}  // namespace detail
}  // namespace QUORVEL
