// Number theory and integer operands: quorvel against GMP on the same operands (full-width random
// numbers of n digits, eight of them taken in pairs), the result made as a user gets it (its
// construction logged; the log is never cleared).
//
// - gcd(a, b) against mpz_gcd;
// - isqrt(a) against mpz_sqrt;
// - powmod(a, e, m) with a 64-bit exponent e and a modulus m of n digits, against mpz_powm_ui;
// - invert(a) modulo 10^n (a made odd and prime to 5) against mpz_invert with the modulus 10^n;
// - x + 1 and x += 1 (a built-in integer operand) against x + y and x += y (a fixedint one).
#include "common.hpp"

#include <quorvel/numbertheory.hpp>

#include <benchmark/benchmark.h>

namespace
{
using namespace benchsupport;
using QUORVEL::fixedint;

constexpr std::uint64_t exponent = 0xB7E151628AED2A6BULL;  // 64 bits, about half of them set

// The operands with the units digit made 7: odd and prime to 5, so invertible modulo 10^n.
std::vector<fixedint> invertible(std::size_t n)
{
    std::vector<fixedint> xs = numbers(n);
    for (fixedint& x : xs) x.digits[0] = 7;
    return xs;
}

void BM_gcd(benchmark::State& state)
{
    cyclepairs(state, numbers(static_cast<std::size_t>(state.range(0))),
               [](const fixedint& a, const fixedint& b) { return gcd(a, b); });
}

void BM_gmpgcd(benchmark::State& state)
{
    gmppairs(state, [](gmpnumbers& g, const mpz_t a, const mpz_t b) { mpz_gcd(g.result, a, b); });
}

void BM_isqrt(benchmark::State& state)
{
    cyclepairs(state, numbers(static_cast<std::size_t>(state.range(0))),
               [](const fixedint& a, const fixedint&) { return isqrt(a); });
}

void BM_gmpsqrt(benchmark::State& state)
{
    gmppairs(state, [](gmpnumbers& g, const mpz_t a, const mpz_t) { mpz_sqrt(g.result, a); });
}

void BM_powmod(benchmark::State& state)
{
    cyclepairs(state, numbers(static_cast<std::size_t>(state.range(0))),
               [](const fixedint& a, const fixedint& m) { return powmod(a, exponent, m); });
}

void BM_gmppowm(benchmark::State& state)
{
    gmppairs(state, [](gmpnumbers& g, const mpz_t a, const mpz_t m)
             { mpz_powm_ui(g.result, a, exponent, m); });
}

void BM_invert(benchmark::State& state)
{
    cyclepairs(state, invertible(static_cast<std::size_t>(state.range(0))),
               [](const fixedint& a, const fixedint&) { return invert(a); });
}

void BM_gmpinvert(benchmark::State& state)
{
    gmpnumbers g(static_cast<std::size_t>(state.range(0)));
    for (auto& x : g.xs)
    {
        mpz_tdiv_q_ui(x.v, x.v, 10);  // the units digit made 7, as for quorvel
        mpz_mul_ui(x.v, x.v, 10);
        mpz_add_ui(x.v, x.v, 7);
    }
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_invert(g.result, g.xs[i++ % operandcount].v, g.modulus);
        benchmark::DoNotOptimize(g.result);
    }
}

// A built-in integer operand against a fixedint one: a new result, and in place.
void BM_addinteger(benchmark::State& state)
{
    cyclepairs(state, numbers(static_cast<std::size_t>(state.range(0))),
               [](const fixedint& a, const fixedint&) { return a + 1; });
}

void BM_addnumber(benchmark::State& state)
{
    cyclepairs(state, numbers(static_cast<std::size_t>(state.range(0))),
               [](const fixedint& a, const fixedint& b) { return a + b; });
}

void BM_addintegerinplace(benchmark::State& state)
{
    fixedint x = numbers(static_cast<std::size_t>(state.range(0)))[0];
    for (auto _ : state) benchmark::DoNotOptimize((x += 1).digits.data());
}

void BM_addnumberinplace(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    fixedint x = numbers(n)[0], one(n, 1);
    for (auto _ : state) benchmark::DoNotOptimize((x += one).digits.data());
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(128)->Arg(1024)->Arg(16384)->Unit(benchmark::kMicrosecond);
}
}  // namespace

BENCHMARK(BM_gcd)->Apply(sizes);
BENCHMARK(BM_gmpgcd)->Apply(sizes);
BENCHMARK(BM_isqrt)->Apply(sizes);
BENCHMARK(BM_gmpsqrt)->Apply(sizes);
BENCHMARK(BM_powmod)->Apply(sizes);
BENCHMARK(BM_gmppowm)->Apply(sizes);
BENCHMARK(BM_invert)->Apply(sizes);
BENCHMARK(BM_gmpinvert)->Apply(sizes);
BENCHMARK(BM_addinteger)->Apply(sizes);
BENCHMARK(BM_addnumber)->Apply(sizes);
BENCHMARK(BM_addintegerinplace)->Apply(sizes);
BENCHMARK(BM_addnumberinplace)->Apply(sizes);
