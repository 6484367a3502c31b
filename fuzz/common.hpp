// Shared by the fuzz harnesses: input decoding, operand classes and the oracles they check
// against (GMP and the reference arithmetic for products, the standard library for integer text,
// a digit-string model).
#pragma once

#include "kernel/tuning.hpp"
#include "reference.hpp"

#include <quorvel/quorvel.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#if defined(QUORVEL_FUZZ_GMP)
#include <gmp.h>
#endif

namespace fuzzing
{
/// Reads the fuzzer's bytes; past the end it yields zeros.
class reader
{
public:
    reader(const std::uint8_t* data, std::size_t size) : p(data), end(data + size) {}
    std::uint8_t byte() { return p < end ? *p++ : 0; }
    std::uint64_t u64()
    {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = (v << 8) | byte();
        return v;
    }
    std::uint64_t below(std::uint64_t bound)  // 0 <= result < bound, for bound > 0
    {
        return (static_cast<std::uint64_t>(byte()) << 8 | byte()) % bound;
    }
    std::size_t left() const { return static_cast<std::size_t>(end - p); }

private:
    const std::uint8_t* p;
    const std::uint8_t* end;
};

[[noreturn]] inline void fail(const std::string& what)
{
    std::fprintf(stderr, "MISMATCH: %s\n", what.c_str());
    std::fflush(stderr);
    __builtin_trap();
}

inline void check(bool ok, const std::string& what)
{
    if (!ok)
        fail(what);
}

/// Widths that matter: the edges of a 64-bit integer, of the kernel's 18-digit limbs and of its
/// thresholds (kernel/tuning.hpp: the blocked division, the split product, Karatsuba, the split
/// reaching Karatsuba, the transform of each backend; the transform lengths 3 * 2^10 and 2^12 at
/// 1,536 and 2,048 limbs), or any width up to `maxwidth`. With `pastmax`, the threshold widths are
/// used even above `maxwidth`.
inline std::uint64_t width(reader& in, std::uint64_t maxwidth, bool pastmax = false)
{
    using namespace QUORVEL::detail::tuning;
    constexpr std::uint64_t block = 18 * blockfrom, split = 18 * shortfrom;
    constexpr std::uint64_t reached = 18 * ((10 * karatsubafrom - 9 + 6) / 7);
    constexpr std::uint64_t scalar = 18 * transformfromscalar;
    static const std::uint64_t special[] = {0,
                                            1,
                                            2,
                                            18,
                                            19,
                                            20,
                                            36,
                                            37,
                                            39,
                                            40,
                                            127,
                                            128,
                                            255,
                                            256,
                                            block - 1,
                                            block,
                                            block + 1,
                                            split - 1,
                                            split,
                                            split + 1,
                                            18 * karatsubafrom,
                                            4096,
                                            reached - 1,
                                            reached,
                                            7200,
                                            18 * transformfromifma,
                                            18 * transformfromfma,
                                            scalar - 19,
                                            scalar - 18,
                                            scalar,
                                            scalar + 1,
                                            18 * 1536,
                                            18 * 1536 + 1,
                                            18 * 2048,
                                            18 * 2048 + 1,
                                            16 * wordkaratsubafrom - 1,  // whole products in words
                                            16 * wordkaratsubafrom,
                                            2 * wordmulupto,
                                            2 * wordmulupto + 2};
    const std::uint8_t pick = in.byte();
    if (pick < 128)
    {
        const std::uint64_t w = special[pick % (sizeof special / sizeof special[0])];
        return pastmax ? w : w % (maxwidth + 1);
    }
    return in.below(maxwidth + 1);
}

/// Digits of one operand class, least significant first, `width` long: random digits from the
/// input, all nines of a length (10^k - 1), a power of ten, one non-zero digit at a position,
/// or zero.
inline std::vector<std::int8_t> digits(reader& in, std::uint64_t width)
{
    const auto n = static_cast<std::size_t>(width);  // the caller's widths fit in memory
    std::vector<std::int8_t> d(n, 0);
    if (n == 0)
        return d;
    const std::uint8_t kind = in.byte() % 5;
    const auto k = static_cast<std::size_t>(in.below(width + 1));
    switch (kind)
    {
        case 0:  // the input's own digits, repeated when it runs short
        {
            std::vector<std::uint8_t> seen;
            while (in.left() > 0 && seen.size() < n) seen.push_back(in.byte());
            for (std::size_t i = 0; i < n && !seen.empty(); ++i)
                d[i] = static_cast<std::int8_t>(seen[i % seen.size()] % 10);
            break;
        }
        case 1:
            for (std::size_t i = 0; i < k; ++i) d[i] = 9;
            break;
        case 2:
            d[k % n] = 1;
            break;
        case 3:
            d[k % n] = static_cast<std::int8_t>(1 + in.byte() % 9);
            break;
        default:
            break;
    }
    return d;
}

/// The magnitude of a digit vector as decimal text ("0" when zero).
inline std::string magnitude(const std::vector<std::int8_t>& d)
{
    std::string s;
    for (std::size_t i = d.size(); i-- > 0;)
        if (!s.empty() || d[i] != 0)
            s += static_cast<char>('0' + d[i]);
    return s.empty() ? "0" : s;
}

/// What asstring must give for valid digits.
inline std::string rendering(const QUORVEL::fixedint& x)
{
    if (x.size == 0)
        return x.negative ? "-" : "";
    return (x.negative ? "-" : "") + magnitude(x.digits);
}

/// The product of two digit vectors modulo 10^width as decimal text: from GMP where it was found
/// (and then also from the reference arithmetic up to 1,000 digits, which must agree), else from
/// the reference arithmetic alone.
inline std::string product(const std::vector<std::int8_t>& a, const std::vector<std::int8_t>& b,
                           std::uint64_t width)
{
    auto fromreference = [&]
    {
        return reference::text(
            reference::multiply(reference::fromdigits(a), reference::fromdigits(b), width));
    };
#if defined(QUORVEL_FUZZ_GMP)
    mpz_t x, y, m;
    mpz_inits(x, y, m, nullptr);
    mpz_set_str(x, magnitude(a).c_str(), 10);
    mpz_set_str(y, magnitude(b).c_str(), 10);
    mpz_mul(x, x, y);
    mpz_ui_pow_ui(m, 10, width);
    mpz_tdiv_r(x, x, m);
    std::vector<char> text(mpz_sizeinbase(x, 10) + 2);
    mpz_get_str(text.data(), 10, x);
    mpz_clears(x, y, m, nullptr);
    if (width <= 1000)
        check(fromreference() == text.data(), "the reference and GMP disagree");
    return text.data();
#else
    return fromreference();
#endif
}

#if defined(QUORVEL_FUZZ_GMP)
/// A GMP integer for the time of a check: zero, or the value of x (its magnitude, negated where
/// its sign flag is set and `signedvalue`).
struct gmpvalue
{
    gmpvalue() { mpz_init(v); }
    explicit gmpvalue(const QUORVEL::fixedint& x, bool signedvalue = true) : gmpvalue()
    {
        mpz_set_str(v, magnitude(x.digits).c_str(), 10);
        if (signedvalue && x.negative)
            mpz_neg(v, v);
    }
    ~gmpvalue() { mpz_clear(v); }
    gmpvalue(const gmpvalue&) = delete;
    gmpvalue& operator=(const gmpvalue&) = delete;
    mpz_t v;
};

/// r = x op y for op one of + - * / % (the quotient toward zero, the remainder with the dividend's
/// sign).
inline void gmpapply(char op, mpz_t r, const mpz_t x, const mpz_t y)
{
    switch (op)
    {
        case '+':
            return mpz_add(r, x, y);
        case '-':
            return mpz_sub(r, x, y);
        case '*':
            return mpz_mul(r, x, y);
        case '/':
            return mpz_tdiv_q(r, x, y);
        default:
            return mpz_tdiv_r(r, x, y);
    }
}

/// The text of a result of width `width` for the exact value: its sign and its magnitude modulo
/// 10^width, or with `issigned` false its residue modulo 10^width ("" at width 0).
inline std::string gmptext(const mpz_t exact, std::uint64_t width, bool issigned)
{
    if (width == 0)
        return "";
    gmpvalue m, modulus;
    mpz_ui_pow_ui(modulus.v, 10, width);
    if (issigned)
        mpz_tdiv_r(m.v, exact, modulus.v);
    else
        mpz_fdiv_r(m.v, exact, modulus.v);
    std::vector<char> text(mpz_sizeinbase(m.v, 10) + 3);
    mpz_get_str(text.data(), 10, m.v);
    return text.data();
}
#endif

#if defined(QUORVEL_FUZZ_GMP)
/// base^exponent modulo 10^width as decimal text, from GMP.
inline std::string power(unsigned long base, unsigned long exponent, std::uint64_t width)
{
    gmpvalue b, e, m, r;
    mpz_set_ui(b.v, base);
    mpz_set_ui(e.v, exponent);
    mpz_ui_pow_ui(m.v, 10, width);
    mpz_powm(r.v, b.v, e.v, m.v);
    return gmptext(r.v, width, true);
}
#endif

/// The log grows with every construction: cleared after each input.
inline void clearlog()
{
    QUORVEL::logstream.str(std::string());
}
}  // namespace fuzzing
