// Fixed-point arithmetic at DECIMAL(19, 2) and DECIMAL(38, 10): quorvel's fixedfloat against the
// same jobs done by hand with GMP integers holding the scaled value, as a C++ user writes them
// today. Each benchmark's argument is the width; the scale goes with it (2 at 19, 10 at 38).
//
// - `+=`: x += y over the operands, then x -= y over the same (the values come back), against
//   mpz_add and mpz_sub.
// - `*=`: x *= f rounded half to even to the scale, the factors f taken in pairs that multiply
//   to 1 (1.25 and 0.8, 2 and 0.5, 4 and 0.25, 1 and 1) so that x stays in range, against mpz_mul
//   and a rounded mpz_tdiv_qr by 10^s into x.
// - rescale: a at scale s + 2 made a new value at scale s, half to even (its construction logged:
//   what a user pays), against a rounded mpz_tdiv_qr by 100.
// - `/=`: x /= f half to even with the same factors, against mpz_mul by 10^s, mpz_tdiv_qr into x
//   and the rounding.
// The operands cycle through eight pairs; the log is never cleared.
#include "common.hpp"

#include <quorvel/fixedfloat.hpp>

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace
{
using namespace benchsupport;
using QUORVEL::fixedfloat;

std::uint64_t scaleof(std::uint64_t width)
{
    return width == 19 ? 2 : 10;
}

// Texts of values with `intdigits` integer digits and `fraction` fraction digits, signs mixed.
std::vector<std::string> valuetexts(std::size_t intdigits, std::size_t fraction, unsigned salt)
{
    std::mt19937 rng(seed + salt);
    std::vector<std::string> out;
    for (int k = 0; k < operandcount; ++k)
    {
        std::string s = k % 3 == 0 ? "-" : "";
        s += static_cast<char>('1' + rng() % 9);
        for (std::size_t i = 1; i < intdigits; ++i) s += static_cast<char>('0' + rng() % 10);
        s += '.';
        for (std::size_t i = 0; i < fraction; ++i) s += static_cast<char>('0' + rng() % 10);
        out.push_back(s);
    }
    return out;
}

// Factors whose consecutive pairs multiply to exactly 1.
std::vector<std::string> factortexts()
{
    return {"1.25", "0.8", "2", "0.5", "4", "0.25", "1", "1"};
}

std::vector<fixedfloat> values(std::uint64_t w, std::uint64_t s, const std::vector<std::string>& t)
{
    std::vector<fixedfloat> out;
    out.reserve(t.size());
    for (const std::string& x : t) out.emplace_back(w, s, x);
    return out;
}

// The same values as GMP integers of the scaled value.
struct scaledints
{
    scaledints(const std::vector<std::string>& texts, std::uint64_t scale)
    {
        for (std::string t : texts)
        {
            // The text times 10^scale: its fraction digits padded to the scale.
            std::size_t point = t.find('.');
            if (point == std::string::npos)
                point = t.size(), t += '.';
            t.append(scale - (t.size() - point - 1), '0');
            t.erase(point, 1);
            xs.emplace_back();
            mpz_init_set_str(xs.back().v, t.c_str(), 10);
        }
    }
    ~scaledints()
    {
        for (auto& x : xs) mpz_clear(x.v);
    }
    scaledints(const scaledints&) = delete;
    scaledints& operator=(const scaledints&) = delete;
    std::vector<gmpnumbers::value> xs;
};

// r = round(n / d) half to even, with q and rest as scratch: what GMP users write.
void roundeddivision(mpz_t r, mpz_srcptr n, mpz_srcptr d, mpz_t rest)
{
    mpz_tdiv_qr(r, rest, n, d);
    mpz_mul_2exp(rest, rest, 1);
    const int c = mpz_cmpabs(rest, d);
    if (c > 0 || (c == 0 && mpz_odd_p(r)))
    {
        if ((mpz_sgn(n) < 0) != (mpz_sgn(d) < 0))
            mpz_sub_ui(r, r, 1);
        else
            mpz_add_ui(r, r, 1);
    }
}

void BM_floatadd(benchmark::State& state)
{
    const auto w = static_cast<std::uint64_t>(state.range(0)), s = scaleof(w);
    std::vector<fixedfloat> xs = values(w, s, valuetexts(w - s - 2, s, 1));
    const std::vector<fixedfloat> ys = values(w, s, valuetexts(w - s - 2, s, 6));
    std::size_t i = 0;
    for (auto _ : state)
    {
        fixedfloat& x = xs[i % operandcount];
        const fixedfloat& y = ys[(i + 1) % operandcount];
        if ((i / operandcount) % 2 == 0)
            x += y;
        else
            x -= y;
        benchmark::DoNotOptimize(x.number.digits.data());
        ++i;
    }
}

void BM_gmpfloatadd(benchmark::State& state)
{
    const auto w = static_cast<std::uint64_t>(state.range(0)), s = scaleof(w);
    scaledints g(valuetexts(w - s - 2, s, 1), s), h(valuetexts(w - s - 2, s, 6), s);
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_ptr x = g.xs[i % operandcount].v;
        mpz_srcptr y = h.xs[(i + 1) % operandcount].v;
        if ((i / operandcount) % 2 == 0)
            mpz_add(x, x, y);
        else
            mpz_sub(x, x, y);
        benchmark::DoNotOptimize(x);
        ++i;
    }
}

void BM_floatmul(benchmark::State& state)
{
    const auto w = static_cast<std::uint64_t>(state.range(0)), s = scaleof(w);
    std::vector<fixedfloat> xs = values(w, s, valuetexts(w - s - 3, s, 2));
    const std::vector<fixedfloat> fs = values(w, s, factortexts());
    std::size_t i = 0;
    for (auto _ : state)
    {
        fixedfloat& x = xs[(i / operandcount) % operandcount];
        x *= fs[i % operandcount];
        benchmark::DoNotOptimize(x.number.digits.data());
        ++i;
    }
}

void BM_gmpfloatmul(benchmark::State& state)
{
    const auto w = static_cast<std::uint64_t>(state.range(0)), s = scaleof(w);
    scaledints g(valuetexts(w - s - 3, s, 2), s), f(factortexts(), s);
    mpz_t product, rest, unit;
    mpz_inits(product, rest, unit, nullptr);
    mpz_ui_pow_ui(unit, 10, s);
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_ptr x = g.xs[(i / operandcount) % operandcount].v;
        mpz_mul(product, x, f.xs[i % operandcount].v);
        roundeddivision(x, product, unit, rest);
        benchmark::DoNotOptimize(x);
        ++i;
    }
    mpz_clears(product, rest, unit, nullptr);
}

void BM_floatrescale(benchmark::State& state)
{
    const auto w = static_cast<std::uint64_t>(state.range(0)), s = scaleof(w);
    const std::vector<fixedfloat> xs = values(w, s + 2, valuetexts(w - s - 2, s + 2, 3));
    std::size_t i = 0;
    for (auto _ : state)
    {
        const fixedfloat r = xs[i++ % operandcount].rescale(w, s);
        benchmark::DoNotOptimize(r.number.digits.data());
    }
}

void BM_gmpfloatrescale(benchmark::State& state)
{
    const auto w = static_cast<std::uint64_t>(state.range(0)), s = scaleof(w);
    scaledints g(valuetexts(w - s - 2, s + 2, 3), s + 2);
    mpz_t r, rest, hundred;
    mpz_inits(r, rest, hundred, nullptr);
    mpz_set_ui(hundred, 100);
    std::size_t i = 0;
    for (auto _ : state)
    {
        roundeddivision(r, g.xs[i++ % operandcount].v, hundred, rest);
        benchmark::DoNotOptimize(r);
    }
    mpz_clears(r, rest, hundred, nullptr);
}

void BM_floatdiv(benchmark::State& state)
{
    const auto w = static_cast<std::uint64_t>(state.range(0)), s = scaleof(w);
    std::vector<fixedfloat> xs = values(w, s, valuetexts(w - s - 3, s, 4));
    const std::vector<fixedfloat> fs = values(w, s, factortexts());
    std::size_t i = 0;
    for (auto _ : state)
    {
        fixedfloat& x = xs[(i / operandcount) % operandcount];
        x /= fs[i % operandcount];
        benchmark::DoNotOptimize(x.number.digits.data());
        ++i;
    }
}

void BM_gmpfloatdiv(benchmark::State& state)
{
    const auto w = static_cast<std::uint64_t>(state.range(0)), s = scaleof(w);
    scaledints g(valuetexts(w - s - 3, s, 4), s), f(factortexts(), s);
    mpz_t n, rest, unit;
    mpz_inits(n, rest, unit, nullptr);
    mpz_ui_pow_ui(unit, 10, s);
    std::size_t i = 0;
    for (auto _ : state)
    {
        mpz_ptr x = g.xs[(i / operandcount) % operandcount].v;
        mpz_mul(n, x, unit);
        roundeddivision(x, n, f.xs[i % operandcount].v, rest);
        benchmark::DoNotOptimize(x);
        ++i;
    }
    mpz_clears(n, rest, unit, nullptr);
}

BENCHMARK(BM_floatadd)->Arg(19)->Arg(38);
BENCHMARK(BM_gmpfloatadd)->Arg(19)->Arg(38);
BENCHMARK(BM_floatmul)->Arg(19)->Arg(38);
BENCHMARK(BM_gmpfloatmul)->Arg(19)->Arg(38);
BENCHMARK(BM_floatrescale)->Arg(19)->Arg(38);
BENCHMARK(BM_gmpfloatrescale)->Arg(19)->Arg(38);
BENCHMARK(BM_floatdiv)->Arg(19)->Arg(38);
BENCHMARK(BM_gmpfloatdiv)->Arg(19)->Arg(38);
}  // namespace
