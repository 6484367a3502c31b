// Benchmarks of quorvel against GMP and Boost.Multiprecision, all in one binary.
//
// "decimal job": what one fixedint product delivers, starting and ending with decimal digits:
// read two n-digit decimal operands, multiply, keep the low n digits, write them as decimal.
// "kernel": the multiplication alone, operands already in the library's own representation.
#include "quorvel/kernel.hpp"
#include "quorvel/quorvel.hpp"

#include <benchmark/benchmark.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <cstring>
#include <gmp.h>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr unsigned seed = 20261209;
constexpr int operandcount = 8;  // products cycle through pairs of these

// Full-width random decimal operands (most significant digit non-zero), as text.
std::vector<std::string> decimaloperands(std::size_t n)
{
    std::mt19937 rng(seed + static_cast<unsigned>(n));
    std::vector<std::string> out;
    for (int k = 0; k < operandcount; ++k)
    {
        std::string s(n, '0');
        for (auto& c : s) c = static_cast<char>('0' + rng() % 10);
        s[0] = static_cast<char>('1' + rng() % 9);
        out.push_back(s);
    }
    return out;
}

QUORVEL::fixedint fromtext(const std::string& s)
{
    QUORVEL::fixedint x(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        x.digits[i] = static_cast<std::int8_t>(s[s.size() - 1 - i] - '0');
    return x;
}

// The module log grows with every construction. Rewinding the put position reuses its buffer,
// so memory stays bounded while the module behaves exactly as in use.
void rewindlog()
{
    QUORVEL::logstream.seekp(0);
}

void BM_product(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<QUORVEL::fixedint> xs;
    for (const auto& s : decimaloperands(n)) xs.push_back(fromtext(s));
    std::size_t i = 0;
    for (auto _ : state)
    {
        QUORVEL::fixedint p = xs[i % operandcount] * xs[(i + 1) % operandcount];
        benchmark::DoNotOptimize(p.digits.data());
        if (++i % 256 == 0)
            rewindlog();
    }
    rewindlog();
}

void BM_digitkernel(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<QUORVEL::fixedint> xs;
    for (const auto& s : decimaloperands(n)) xs.push_back(fromtext(s));
    std::vector<std::int8_t> out(n);
    std::size_t i = 0;
    for (auto _ : state)
    {
        const auto& a = xs[i % operandcount].digits;
        const auto& b = xs[++i % operandcount].digits;
        QUORVEL::detail::mullow(a.data(), n, b.data(), n, out.data(), n);
        benchmark::DoNotOptimize(out.data());
    }
    rewindlog();
}

void BM_limbkernel(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::size_t m = (n + QUORVEL::detail::limbdigits - 1) / QUORVEL::detail::limbdigits;
    std::mt19937_64 rng(seed);
    std::vector<std::vector<std::uint64_t>> xs(operandcount, std::vector<std::uint64_t>(m));
    for (auto& x : xs)
        for (auto& l : x) l = rng() % 1000000000000000000ULL;
    std::vector<std::uint64_t> out(m);
    std::size_t i = 0;
    for (auto _ : state)
    {
        QUORVEL::detail::limbproduct(out.data(), xs[i % operandcount].data(),
                                     xs[(i + 1) % operandcount].data(), m);
        ++i;
        benchmark::DoNotOptimize(out.data());
    }
}

struct gmpnumbers
{
    explicit gmpnumbers(std::size_t n)
    {
        mpz_inits(p, modulus, nullptr);
        mpz_ui_pow_ui(modulus, 10, n);
        for (const auto& s : decimaloperands(n))
        {
            texts.push_back(s);
            xs.emplace_back();
            mpz_init_set_str(xs.back().v, s.c_str(), 10);
        }
        buffer.resize(n + 2);
    }
    ~gmpnumbers()
    {
        for (auto& x : xs) mpz_clear(x.v);
        mpz_clears(p, modulus, nullptr);
    }
    gmpnumbers(const gmpnumbers&) = delete;
    gmpnumbers& operator=(const gmpnumbers&) = delete;
    struct value
    {
        mpz_t v;
    };
    std::vector<std::string> texts;
    std::vector<value> xs;
    mpz_t p, modulus;
    std::vector<char> buffer;
};

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
        mpz_mul(g.p, a, b);
        mpz_tdiv_r(g.p, g.p, g.modulus);
        mpz_get_str(g.buffer.data(), 10, g.p);
        benchmark::DoNotOptimize(g.buffer.data());
    }
    mpz_clears(a, b, nullptr);
}

void BM_gmpkernel(benchmark::State& state)
{
    gmpnumbers g(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_mul(g.p, g.xs[i % operandcount].v, g.xs[(i + 1) % operandcount].v);
        ++i;
        benchmark::DoNotOptimize(g.p);
    }
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

void BM_asstring(benchmark::State& state)
{
    const auto x = fromtext(decimaloperands(static_cast<std::size_t>(state.range(0)))[0]);
    for (auto _ : state)
    {
        std::string s = x.asstring();
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));  // digits per second
    rewindlog();
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
    rewindlog();
}

void BM_getshorteneddigits(benchmark::State& state)
{
    const auto x = fromtext(decimaloperands(static_cast<std::size_t>(state.range(0)))[0]);
    for (auto _ : state)
    {
        auto d = x.getshorteneddigits();
        benchmark::DoNotOptimize(d.data());
    }
    rewindlog();
}

void BM_log(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state)
    {
        QUORVEL::log("Resizing Digits to: 128");
        if (++i % 4096 == 0)
            rewindlog();
    }
    rewindlog();
}

void widths(benchmark::internal::Benchmark* b)
{
    for (long n : {128, 1024, 16384, 65536}) b->Arg(n);
}

BENCHMARK(BM_product)->Apply(widths);
BENCHMARK(BM_gmpdecimal)->Apply(widths);
BENCHMARK(BM_boostdecimal)->Arg(128)->Arg(1024)->Arg(16384);  // seconds at 65,536
BENCHMARK(BM_digitkernel)->Apply(widths);
BENCHMARK(BM_limbkernel)->Apply(widths);
BENCHMARK(BM_gmpkernel)->Apply(widths);
BENCHMARK(BM_asstring)->Arg(128)->Arg(65536);
BENCHMARK(BM_assign)->Arg(128)->Arg(65536);
BENCHMARK(BM_getshorteneddigits)->Arg(128)->Arg(65536);
BENCHMARK(BM_log);
}  // namespace

BENCHMARK_MAIN();
