// The module log: one line appended, and products over a long run that never clears the log.
#include "common.hpp"
#include "log/lines.hpp"

#include <benchmark/benchmark.h>

namespace
{
using namespace benchsupport;

// A line of the module's own (the kind every number logs), as a product appends it.
void BM_logline(benchmark::State& state)
{
    const long before = resident();
    for (auto _ : state) QUORVEL::detail::logline(QUORVEL::detail::line::done);
    state.counters["bytes/line"] =
        static_cast<double>(resident() - before) / static_cast<double>(state.iterations());
}

// A caller's own message through `log(std::string)`: the std::string it takes by value included
// (short enough to need no allocation).
void BM_log(benchmark::State& state)
{
    for (auto _ : state) QUORVEL::log("a message");
}

// The log as real use keeps it: every product adds its seven lines and nothing is ever cleared.
// Reports the resident memory this adds per product.
void BM_productlog_nevercleared(benchmark::State& state)
{
    const auto xs = numbers(static_cast<std::size_t>(state.range(0)));
    const long before = resident();
    std::size_t i = 0;
    for (auto _ : state)
    {
        QUORVEL::fixedint p = xs[i % operandcount] * xs[(i + 1) % operandcount];
        benchmark::DoNotOptimize(p.digits.data());
        ++i;
    }
    state.counters["bytes/product"] =
        static_cast<double>(resident() - before) / static_cast<double>(state.iterations());
}

// The same with the log emptied every 4,096 products: what the log costs when it is kept small.
void BM_productlog_clearedevery4096(benchmark::State& state)
{
    const auto xs = numbers(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
    {
        QUORVEL::fixedint p = xs[i % operandcount] * xs[(i + 1) % operandcount];
        benchmark::DoNotOptimize(p.digits.data());
        if (++i % 4096 == 0)
            QUORVEL::logstream.str("");
    }
}

BENCHMARK(BM_logline);
BENCHMARK(BM_log);
// One million products per run, as a long-running program makes them.
BENCHMARK(BM_productlog_nevercleared)->Arg(40)->Arg(128)->Iterations(1000000);
BENCHMARK(BM_productlog_clearedevery4096)->Arg(40)->Arg(128)->Iterations(1000000);
}  // namespace
