// Sum, difference, parsing, division and powers: quorvel against GMP (mpz) on the same jobs, and
// against Boost.Multiprecision's `cpp_int` on the division and power jobs.
//
// - Sum, difference: numbers already held, the result a new number (its construction logged).
// - Parsing: decimal text into a number that exists (`x = text`) against mpz_set_str.
// - Division job, 2n/n digits: both texts in, quotient and remainder, both texts out, on both
//   sides (quorvel: `x = text`, `divmod`, `asstring`; GMP: mpz_set_str, mpz_tdiv_qr,
//   mpz_get_str).
// - Power job: base^e modulo 10^n with a 64-bit exponent, the result's text out (quorvel: `pow`,
//   `asstring`; GMP: mpz_powm by 10^n, mpz_get_str).
#include "common.hpp"

#include <benchmark/benchmark.h>

#include <boost/multiprecision/cpp_int.hpp>

namespace
{
using namespace benchsupport;

void BM_add(benchmark::State& state)
{
    cyclepairs(state, numbers(static_cast<std::size_t>(state.range(0))),
               [](const QUORVEL::fixedint& a, const QUORVEL::fixedint& b) { return a + b; });
    state.SetItemsProcessed(state.iterations() * state.range(0));  // digits per second
}

void BM_subtract(benchmark::State& state)
{
    cyclepairs(state, numbers(static_cast<std::size_t>(state.range(0))),
               [](const QUORVEL::fixedint& a, const QUORVEL::fixedint& b) { return a - b; });
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_gmpadd(benchmark::State& state)
{
    gmppairs(state, [](gmpnumbers& g, mpz_srcptr x, mpz_srcptr y) { mpz_add(g.result, x, y); });
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_parse(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto texts = decimaloperands(n);
    QUORVEL::fixedint x(n);
    std::size_t i = 0;
    for (auto _ : state)
    {
        x = texts[i++ % operandcount];
        benchmark::DoNotOptimize(x.digits.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_gmpparse(benchmark::State& state)
{
    gmpnumbers g(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_set_str(g.result, g.texts[i++ % operandcount].c_str(), 10);
        benchmark::DoNotOptimize(g.result);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_divisionjob(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto dividends = decimaloperands(n), divisors = decimaloperands(n / 2, 1);
    QUORVEL::fixedint a(n), b(n);
    std::size_t i = 0;
    for (auto _ : state)
    {
        a = dividends[i % operandcount];
        b = divisors[++i % operandcount];
        const auto qr = QUORVEL::divmod(a, b);
        const std::string q = qr.first.asstring(), r = qr.second.asstring();
        benchmark::DoNotOptimize(q.data());
        benchmark::DoNotOptimize(r.data());
    }
}

void BM_gmpdivisionjob(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto dividends = decimaloperands(n), divisors = decimaloperands(n / 2, 1);
    mpz_t a, b, q, r;
    mpz_inits(a, b, q, r, nullptr);
    std::vector<char> qt(n + 2), rt(n + 2);
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_set_str(a, dividends[i % operandcount].c_str(), 10);
        mpz_set_str(b, divisors[++i % operandcount].c_str(), 10);
        mpz_tdiv_qr(q, r, a, b);
        mpz_get_str(qt.data(), 10, q);
        mpz_get_str(rt.data(), 10, r);
        benchmark::DoNotOptimize(qt.data());
        benchmark::DoNotOptimize(rt.data());
    }
    mpz_clears(a, b, q, r, nullptr);
}

void BM_boostdivisionjob(benchmark::State& state)
{
    using boost::multiprecision::cpp_int;
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto dividends = decimaloperands(n), divisors = decimaloperands(n / 2, 1);
    std::size_t i = 0;
    for (auto _ : state)
    {
        const cpp_int a(dividends[i % operandcount]);
        const cpp_int b(divisors[++i % operandcount]);
        cpp_int q, r;
        boost::multiprecision::divide_qr(a, b, q, r);
        const std::string qt = q.str(), rt = r.str();
        benchmark::DoNotOptimize(qt.data());
        benchmark::DoNotOptimize(rt.data());
    }
}

// The division alone, numbers already held (2n/n digits).
void BM_divide(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<QUORVEL::fixedint> as = numbers(n), bs;
    for (const auto& s : decimaloperands(n / 2, 1)) bs.push_back(fromtext(s, n));
    std::size_t i = 0;
    for (auto _ : state)
    {
        QUORVEL::fixedint q = as[i % operandcount] / bs[(i + 1) % operandcount];
        benchmark::DoNotOptimize(q.digits.data());
        ++i;
    }
}

// A w-digit dividend by divisors of w/2 + extra digits: just past a multiple of the divisor's
// length the quotient's first chunk is one limb short of a whole one; at w/2 - 2,295 it is 255
// limbs, the longest that goes by blocks, and at w/2 - 57,824 an eighth of a chunk. Every length
// should cost about what the best one does.
void BM_dividelengths(benchmark::State& state)
{
    const auto w = static_cast<std::size_t>(state.range(0));
    const auto divisor =
        static_cast<std::size_t>(static_cast<std::int64_t>(w / 2) + state.range(1));
    const QUORVEL::fixedint a = fromtext(decimaloperands(w)[0], w);
    const QUORVEL::fixedint b = fromtext(decimaloperands(divisor, 1)[0], w);
    for (auto _ : state)
    {
        QUORVEL::fixedint q = a / b;
        benchmark::DoNotOptimize(q.digits.data());
    }
}
BENCHMARK(BM_dividelengths)
    ->ArgsProduct({{1000000, 2000000, 4000000}, {0, 18, 36, 2000}})
    ->Args({2000000, -2295})
    ->Args({2000000, -2313})
    ->Args({2000000, -57824})
    ->Unit(benchmark::kMillisecond);

void BM_gmpdivide(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    gmpnumbers a(n), b(n / 2, 1);
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_tdiv_q(a.result, a.xs[i % operandcount].v, b.xs[(i + 1) % operandcount].v);
        ++i;
        benchmark::DoNotOptimize(a.result);
    }
}

constexpr std::uint64_t exponent = 0xD1B54A32D192ED03ULL;  // 64 bits, 31 of them set

void BM_powjob(benchmark::State& state)
{
    const auto xs = numbers(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
    {
        const std::string s = QUORVEL::pow(xs[i++ % operandcount], exponent).asstring();
        benchmark::DoNotOptimize(s.data());
    }
}

void BM_gmppowjob(benchmark::State& state)
{
    gmpnumbers g(static_cast<std::size_t>(state.range(0)));
    mpz_t e;
    mpz_init(e);
    mpz_import(e, 1, 1, sizeof exponent, 0, 0, &exponent);
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_powm(g.result, g.xs[i++ % operandcount].v, e, g.modulus);
        mpz_get_str(g.buffer.data(), 10, g.result);
        benchmark::DoNotOptimize(g.buffer.data());
    }
    mpz_clear(e);
}

void BM_boostpowjob(benchmark::State& state)
{
    using boost::multiprecision::cpp_int;
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<cpp_int> bases;
    for (const auto& s : decimaloperands(n)) bases.emplace_back(s);
    const cpp_int modulus = boost::multiprecision::pow(cpp_int(10), static_cast<unsigned>(n));
    const cpp_int e(exponent);
    std::size_t i = 0;
    for (auto _ : state)
    {
        const cpp_int p = boost::multiprecision::powm(bases[i++ % operandcount], e, modulus);
        const std::string s = p.str();
        benchmark::DoNotOptimize(s.data());
    }
}

BENCHMARK(BM_add)->Arg(128)->Arg(65536);
BENCHMARK(BM_subtract)->Arg(128)->Arg(65536);
BENCHMARK(BM_gmpadd)->Arg(128)->Arg(65536);
BENCHMARK(BM_parse)->Arg(128)->Arg(65536);
BENCHMARK(BM_gmpparse)->Arg(128)->Arg(65536);
BENCHMARK(BM_divisionjob)->Arg(128)->Arg(1024)->Arg(16384)->Arg(65536);
BENCHMARK(BM_gmpdivisionjob)->Arg(128)->Arg(1024)->Arg(16384)->Arg(65536);
BENCHMARK(BM_boostdivisionjob)->Arg(128)->Arg(1024)->Arg(16384);
BENCHMARK(BM_divide)->Arg(128)->Arg(1024)->Arg(16384)->Arg(65536)->Arg(262144);
BENCHMARK(BM_gmpdivide)->Arg(128)->Arg(1024)->Arg(16384)->Arg(65536)->Arg(262144);
BENCHMARK(BM_powjob)->Arg(128)->Arg(1024);
BENCHMARK(BM_gmppowjob)->Arg(128)->Arg(1024);
BENCHMARK(BM_boostpowjob)->Arg(128)->Arg(1024);
}  // namespace
