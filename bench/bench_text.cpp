// Text and integers in and out, and the other digit operations.
#include "common.hpp"

#include <benchmark/benchmark.h>

namespace
{
using namespace benchsupport;

void BM_asstring(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto x = fromtext(decimaloperands(n)[0], n);
    for (auto _ : state)
    {
        std::string s = x.asstring();
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));  // digits per second
}

void BM_assign(benchmark::State& state)
{
    QUORVEL::fixedint x(static_cast<std::uint64_t>(state.range(0)));
    std::int64_t v = -1234567890123456789;
    for (auto _ : state)
    {
        x = v;
        v ^= 0x5555;
        benchmark::DoNotOptimize(x.digits.data());
    }
}

void BM_getshorteneddigits(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto x = fromtext(decimaloperands(n)[0], n);
    for (auto _ : state)
    {
        auto d = x.getshorteneddigits();
        benchmark::DoNotOptimize(d.data());
    }
}

BENCHMARK(BM_asstring)->Arg(128)->Arg(65536);
BENCHMARK(BM_assign)->Arg(128)->Arg(65536);
BENCHMARK(BM_getshorteneddigits)->Arg(128)->Arg(65536);
}  // namespace
