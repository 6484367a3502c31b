// Shared by the benchmarks: operands (fixed seed, full-width random decimal numbers, most
// significant digit non-zero), the same operands for GMP, and what a run costs in memory.
#pragma once

#include <quorvel/quorvel.hpp>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <gmp.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace benchsupport
{
constexpr unsigned seed = 20261209;
constexpr int operandcount = 8;  // operations cycle through pairs of these

/// `operandcount` random decimal texts of `digits` digits.
inline std::vector<std::string> decimaloperands(std::size_t digits, unsigned salt = 0)
{
    std::mt19937 rng(seed + salt + static_cast<unsigned>(digits));
    std::vector<std::string> out;
    for (int k = 0; k < operandcount; ++k)
    {
        std::string s(digits, '0');
        for (auto& c : s) c = static_cast<char>('0' + rng() % 10);
        s[0] = static_cast<char>('1' + rng() % 9);
        out.push_back(s);
    }
    return out;
}

/// A fixedint of width `width` holding the decimal text `s` (set through its digits).
inline QUORVEL::fixedint fromtext(const std::string& s, std::size_t width)
{
    QUORVEL::fixedint x(width);
    for (std::size_t i = 0; i < s.size(); ++i)
        x.digits[i] = static_cast<std::int8_t>(s[s.size() - 1 - i] - '0');
    return x;
}

/// The operands of width `n` as numbers.
inline std::vector<QUORVEL::fixedint> numbers(std::size_t n, unsigned salt = 0)
{
    std::vector<QUORVEL::fixedint> xs;
    for (const auto& s : decimaloperands(n, salt)) xs.push_back(fromtext(s, n));
    return xs;
}

/// Runs `op` on pairs of the numbers in turn; the result is made and destroyed as in real use.
template <typename State, typename Op>
void cyclepairs(State& state, const std::vector<QUORVEL::fixedint>& xs, Op op)
{
    std::size_t i = 0;
    for (auto _ : state)
    {
        const QUORVEL::fixedint r = op(xs[i % operandcount], xs[(i + 1) % operandcount]);
        benchmark::DoNotOptimize(r.digits.data());
        ++i;
    }
}

/// Resident memory of the process in bytes.
inline long resident()
{
    long pages = 0, rss = 0;
    std::ifstream("/proc/self/statm") >> pages >> rss;
    return rss * sysconf(_SC_PAGESIZE);
}

/// GMP numbers for the same operands, and 10^n.
struct gmpnumbers
{
    explicit gmpnumbers(std::size_t n, unsigned salt = 0)
    {
        mpz_inits(result, modulus, nullptr);
        mpz_ui_pow_ui(modulus, 10, n);
        for (const auto& s : decimaloperands(n, salt))
        {
            texts.push_back(s);
            xs.emplace_back();
            mpz_init_set_str(xs.back().v, s.c_str(), 10);
        }
        buffer.resize(2 * n + 2);
    }
    ~gmpnumbers()
    {
        for (auto& x : xs) mpz_clear(x.v);
        mpz_clears(result, modulus, nullptr);
    }
    gmpnumbers(const gmpnumbers&) = delete;
    gmpnumbers& operator=(const gmpnumbers&) = delete;
    struct value
    {
        mpz_t v;
    };
    std::vector<std::string> texts;
    std::vector<value> xs;
    mpz_t result, modulus;
    std::vector<char> buffer;
};

/// Runs `op(g, x, y)` on pairs of the GMP operands `g` of the state's width in turn, leaving what
/// it computes in `g.result`.
template <typename State, typename Op>
void gmppairs(State& state, Op op)
{
    gmpnumbers g(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
    {
        op(g, g.xs[i % operandcount].v, g.xs[(i + 1) % operandcount].v);
        ++i;
        benchmark::DoNotOptimize(g.result);
    }
}
}  // namespace benchsupport
