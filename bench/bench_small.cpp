// Small numbers (18, 40 and 128 digits), the widths most programs use: one operation at a time,
// the result kept in a named number (`p = a * b`, `p = a + b`, `a += b`), the log never cleared,
// as a program runs them. Beside GMP on the binary job (mpz_class numbers already held in binary,
// the product reduced modulo 10^n, no text) and Boost's cpp_int on the same job. Instruction counts
// of the same operations, which do not drift, come from bench/instructions.sh.
#include "common.hpp"

#include <benchmark/benchmark.h>
#include <gmpxx.h>

#include <boost/multiprecision/cpp_int.hpp>

namespace
{
using namespace benchsupport;

// Runs `op(p, x, y)` on pairs of the numbers of the state's width in turn, into one result `p`.
template <typename Op>
void namedpairs(benchmark::State& state, Op op)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<QUORVEL::fixedint> xs = numbers(n);
    QUORVEL::fixedint p(n);
    std::size_t i = 0;
    for (auto _ : state)
    {
        op(p, xs[i % operandcount], xs[(i + 1) % operandcount]);
        benchmark::DoNotOptimize(p.digits.data());
        ++i;
    }
}

void BM_smallmul(benchmark::State& state)
{
    namedpairs(state, [](QUORVEL::fixedint& p, const QUORVEL::fixedint& a,
                         const QUORVEL::fixedint& b) { p = a * b; });
}

void BM_smalladd(benchmark::State& state)
{
    namedpairs(state, [](QUORVEL::fixedint& p, const QUORVEL::fixedint& a,
                         const QUORVEL::fixedint& b) { p = a + b; });
}

void BM_smalladdinplace(benchmark::State& state)
{
    // p += b, p kept below the width by the wrap-around, as a running total is.
    namedpairs(state, [](QUORVEL::fixedint& p, const QUORVEL::fixedint&, const QUORVEL::fixedint& b)
               { p += b; });
}

// The same operands as mpz_class, and 10^n.
struct gmpclassnumbers
{
    explicit gmpclassnumbers(std::size_t n)
    {
        mpz_ui_pow_ui(modulus.get_mpz_t(), 10, n);
        for (const auto& s : decimaloperands(n)) xs.emplace_back(s, 10);
    }
    std::vector<mpz_class> xs;
    mpz_class modulus, result;
};

void BM_gmpsmallmul(benchmark::State& state)
{
    gmpclassnumbers g(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_mul(g.result.get_mpz_t(), g.xs[i % operandcount].get_mpz_t(),
                g.xs[(i + 1) % operandcount].get_mpz_t());
        mpz_tdiv_r(g.result.get_mpz_t(), g.result.get_mpz_t(), g.modulus.get_mpz_t());
        benchmark::DoNotOptimize(g.result.get_mpz_t());
        ++i;
    }
}

void BM_gmpsmalladd(benchmark::State& state)
{
    gmpclassnumbers g(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
    {
        g.result = g.xs[i % operandcount] + g.xs[(i + 1) % operandcount];
        if (g.result >= g.modulus)
            g.result -= g.modulus;
        benchmark::DoNotOptimize(g.result.get_mpz_t());
        ++i;
    }
}

void BM_boostsmallmul(benchmark::State& state)
{
    using boost::multiprecision::cpp_int;
    const auto n = static_cast<unsigned>(state.range(0));
    std::vector<cpp_int> xs;
    for (const auto& s : decimaloperands(n)) xs.emplace_back(s);
    const cpp_int modulus = boost::multiprecision::pow(cpp_int(10), n);
    cpp_int result;
    std::size_t i = 0;
    for (auto _ : state)
    {
        result = xs[i % operandcount] * xs[(i + 1) % operandcount] % modulus;
        benchmark::DoNotOptimize(&result);
        ++i;
    }
}

void smallwidths(benchmark::internal::Benchmark* b)
{
    b->Arg(18)->Arg(40)->Arg(128);
}
BENCHMARK(BM_smallmul)->Apply(smallwidths);
BENCHMARK(BM_gmpsmallmul)->Apply(smallwidths);
BENCHMARK(BM_boostsmallmul)->Apply(smallwidths);
BENCHMARK(BM_smalladd)->Apply(smallwidths);
BENCHMARK(BM_gmpsmalladd)->Apply(smallwidths);
BENCHMARK(BM_smalladdinplace)->Apply(smallwidths);

// A million products with the log never cleared: the bytes the log takes per product.
void BM_smallmullog(benchmark::State& state)
{
    std::vector<QUORVEL::fixedint> xs = numbers(40);
    QUORVEL::fixedint p(40);
    for (auto _ : state)
    {
        const long start = resident();
        for (std::size_t i = 0; i < 1000000; ++i)
        {
            p = xs[i % operandcount] * xs[(i + 1) % operandcount];
            benchmark::DoNotOptimize(p.digits.data());
        }
        state.counters["bytes_per_product"] = static_cast<double>(resident() - start) / 1e6;
    }
}
BENCHMARK(BM_smallmullog)->Iterations(1)->Unit(benchmark::kMillisecond);
}  // namespace
