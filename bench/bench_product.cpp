// Products: quorvel against GMP and Boost.Multiprecision, on the same operands.
//
// Jobs, each on both sides where it applies:
// - decimal job: text in, the product modulo 10^n, text out;
// - binary-native job (GMP): the product modulo 10^n of numbers already in GMP's binary form;
// - product: quorvel's `a * b` on numbers already held (digits in, digits out);
// - kernel: the multiplication alone, operands in each library's own representation.
// quorvel's figures include the log lines each product writes; the log is never cleared.
#include "common.hpp"
#include "kernel/decimal.hpp"
#include "kernel/product.hpp"
#include "kernel/scratch.hpp"
#include "kernel/transform/backend.hpp"

#include <benchmark/benchmark.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace
{
using namespace benchsupport;

void BM_decimaljob(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto texts = decimaloperands(n);
    QUORVEL::fixedint a(n), b(n);
    std::size_t i = 0;
    for (auto _ : state)
    {
        a = texts[i % operandcount];
        b = texts[++i % operandcount];
        const std::string s = (a * b).asstring();
        benchmark::DoNotOptimize(s.data());
    }
}

void BM_product(benchmark::State& state)
{
    cyclepairs(state, numbers(static_cast<std::size_t>(state.range(0))),
               [](const QUORVEL::fixedint& a, const QUORVEL::fixedint& b) { return a * b; });
}

// The whole product of two n-digit numbers held in a width of 2n: what `mpz_mul` gives, with
// digits in and out and the result's construction and log lines.
void BM_wideproduct(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<QUORVEL::fixedint> xs;
    for (const auto& s : decimaloperands(n)) xs.push_back(fromtext(s, 2 * n));
    cyclepairs(state, xs,
               [](const QUORVEL::fixedint& a, const QUORVEL::fixedint& b) { return a * b; });
}

void BM_digitkernel(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto xs = numbers(n);
    std::vector<std::int8_t> out(n);
    std::size_t i = 0;
    for (auto _ : state)
    {
        const auto& a = xs[i % operandcount].digits;
        const auto& b = xs[++i % operandcount].digits;
        QUORVEL::detail::mullow(a.data(), n, b.data(), n, out.data(), n);
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_limbkernel(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::size_t m = QUORVEL::detail::limbsfor(n);
    std::mt19937_64 rng(seed);
    std::vector<std::vector<std::uint64_t>> xs(operandcount, std::vector<std::uint64_t>(m));
    for (auto& x : xs)
        for (auto& l : x) l = rng() % 1000000000000000000ULL;
    std::vector<std::uint64_t> out(m);
    std::size_t i = 0;
    for (auto _ : state)
    {
        // As the library's own operations do: the backend chosen and the scratch taken once per
        // product.
        const auto& via = QUORVEL::detail::transform::choosebackend();
        const QUORVEL::detail::scratch space(QUORVEL::detail::shortmulscratch(m, via));
        QUORVEL::detail::shortmul(out.data(), xs[i % operandcount].data(),
                                  xs[(i + 1) % operandcount].data(), m, space.data, via);
        ++i;
        benchmark::DoNotOptimize(out.data());
    }
}

// The same on the scalar transform, which processors without AVX-512 IFMA (and every target
// other than x86-64) use; where the processor has none, it equals BM_limbkernel.
void BM_limbkernel_portable(benchmark::State& state)
{
    namespace transform = QUORVEL::detail::transform;
    const transform::backend* before = transform::forcebackend(&transform::scalarbackend);
    BM_limbkernel(state);
    transform::forcebackend(before);
}

// The first product of a thread: its tables of roots and its scratch memory made and touched
// for the first time, which later products reuse (the other benchmarks warm up first).
void BM_firstproduct(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto xs = numbers(n);
    for (auto _ : state)
        std::thread([&xs] { benchmark::DoNotOptimize((xs[0] * xs[1]).digits.data()); }).join();
}

void BM_gmpdecimal(benchmark::State& state)
{
    gmpnumbers g(static_cast<std::size_t>(state.range(0)));
    mpz_t a, b;
    mpz_inits(a, b, nullptr);
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_set_str(a, g.texts[i % operandcount].c_str(), 10);
        mpz_set_str(b, g.texts[++i % operandcount].c_str(), 10);
        mpz_mul(g.result, a, b);
        mpz_tdiv_r(g.result, g.result, g.modulus);
        mpz_get_str(g.buffer.data(), 10, g.result);
        benchmark::DoNotOptimize(g.buffer.data());
    }
    mpz_clears(a, b, nullptr);
}

void BM_gmpbinary(benchmark::State& state)
{
    gmppairs(state,
             [](gmpnumbers& g, mpz_srcptr x, mpz_srcptr y)
             {
                 mpz_mul(g.result, x, y);
                 mpz_tdiv_r(g.result, g.result, g.modulus);
             });
}

void BM_gmpkernel(benchmark::State& state)
{
    gmppairs(state, [](gmpnumbers& g, mpz_srcptr x, mpz_srcptr y) { mpz_mul(g.result, x, y); });
}

void BM_boostdecimal(benchmark::State& state)
{
    using boost::multiprecision::cpp_int;
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto texts = decimaloperands(n);
    const cpp_int modulus = boost::multiprecision::pow(cpp_int(10), static_cast<unsigned>(n));
    std::size_t i = 0;
    for (auto _ : state)
    {
        const cpp_int a(texts[i % operandcount]);
        const cpp_int b(texts[++i % operandcount]);
        const cpp_int p = (a * b) % modulus;
        const std::string s = p.str();
        benchmark::DoNotOptimize(s.data());
    }
}

// Widths from 128 digits to 2^24; every benchmark runs once at the widths of a second or more.
void widths(benchmark::internal::Benchmark* b, long upto)
{
    for (long n : {128L, 1024L, 16384L, 65536L, 262144L, 1048576L, 4194304L, 16777216L})
        if (n <= upto)
            b->Arg(n);
    b->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.2);
}
void all(benchmark::internal::Benchmark* b)
{
    widths(b, 16777216L);
}
void uptofourmillion(benchmark::internal::Benchmark* b)  // the peer takes seconds beyond
{
    widths(b, 4194304L);
}

// Which arithmetic the figures are of, in the run's context (and its JSON output).
const bool context = []
{
#if defined(QUORVEL_PORTABLE_128)
    benchmark::AddCustomContext("quorvel 128-bit arithmetic", "portable (two 64-bit words)");
#else
    benchmark::AddCustomContext("quorvel 128-bit arithmetic", "the compiler's unsigned __int128");
#endif
    // QUORVEL_BENCH_BACKEND=<name> forces a backend for the whole run (scalar, avx2, ifma), to
    // measure each path on one machine.
    namespace transform = QUORVEL::detail::transform;
    if (const char* wanted = std::getenv("QUORVEL_BENCH_BACKEND"))
    {
        const transform::backend* found = nullptr;
        for (const transform::backend* b : transform::backends)
            if (b->available() && std::string(wanted) == b->name)
                found = b;
        if (found == nullptr)
        {
            std::fprintf(stderr, "QUORVEL_BENCH_BACKEND: no backend %s on this processor\n",
                         wanted);
            std::exit(2);
        }
        transform::forcebackend(found);
    }
    benchmark::AddCustomContext("quorvel transform backend", transform::choosebackend().name);
    return true;
}();

BENCHMARK(BM_decimaljob)->Apply(all);
BENCHMARK(BM_gmpdecimal)->Apply(uptofourmillion);
BENCHMARK(BM_boostdecimal)->Arg(128)->Arg(1024)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_product)->Apply(all);
BENCHMARK(BM_gmpbinary)->Apply(all);
BENCHMARK(BM_wideproduct)->Apply(all);
BENCHMARK(BM_digitkernel)->Apply(all);
BENCHMARK(BM_limbkernel)->Apply(all);
BENCHMARK(BM_limbkernel_portable)->Apply(uptofourmillion);
BENCHMARK(BM_gmpkernel)->Apply(all);
BENCHMARK(BM_firstproduct)
    ->Arg(1048576)
    ->Arg(4194304)
    ->Arg(16777216)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
}  // namespace
