// Sum, difference, quotient, remainder, negation, powers, comparison and the compound forms, on
// operands of every class, signs and issigned, at the widths where the kernels change method,
// against the oracle (the reference arithmetic with the rules spelled out) and GMP where found.
#include "common.hpp"
#include "oracle.hpp"

#include <stdexcept>

namespace
{
using QUORVEL::fixedint;

#if defined(QUORVEL_FUZZ_GMP)
using fuzzing::gmptext;
using fuzzing::gmpvalue;

std::string gmpresult(char op, const fixedint& a, const fixedint& b, std::uint64_t e)
{
    gmpvalue x(a), y(b), r;
    if (!a.issigned)
    {
        mpz_abs(x.v, x.v);
        mpz_abs(y.v, y.v);
    }
    switch (op)
    {
        case '+':
        case '-':
        case '/':
        case '%':
            fuzzing::gmpapply(op, r.v, x.v, y.v);
            break;
        case 'n':
            mpz_neg(r.v, x.v);
            break;
        default:  // power
        {
            gmpvalue modulus, magnitude;
            mpz_ui_pow_ui(modulus.v, 10, a.size);
            mpz_abs(magnitude.v, x.v);
            mpz_t exponent;
            mpz_init(exponent);
            mpz_import(exponent, 1, 1, sizeof e, 0, 0, &e);
            mpz_powm(r.v, magnitude.v, exponent, modulus.v);
            mpz_clear(exponent);
            if (mpz_sgn(x.v) < 0 && (e & 1) != 0)
                mpz_neg(r.v, r.v);
        }
    }
    return gmptext(r.v, a.size, a.issigned);
}
#endif

// What the operation must give: from GMP where found (and then also from the oracle up to 1,000
// digits, which must agree), else from the oracle alone.
std::string expected(char op, const fixedint& a, const fixedint& b, std::uint64_t e)
{
    if (a.size == 0)
        return "";  // every operation gives the width-0 zero
    auto fromoracle = [&]
    {
        switch (op)
        {
            case '+':
                return oracle::sum(a, b);
            case '-':
                return oracle::difference(a, b);
            case 'n':
                return oracle::negation(a);
            case '/':
                return oracle::division(a, b, false);
            case '%':
                return oracle::division(a, b, true);
            default:
                return oracle::power(a, e);
        }
    };
#if defined(QUORVEL_FUZZ_GMP)
    const std::string want = gmpresult(op, a, b, e);
    if (a.size <= 1000)
        fuzzing::check(fromoracle() == want, std::string("the oracle and GMP disagree on ") + op);
    return want;
#else
    return fromoracle();
#endif
}

std::string got(char op, const fixedint& a, const fixedint& b, std::uint64_t e, bool inplace)
{
    fixedint c = a;
    switch (op)
    {
        case '+':
            return (inplace ? c += b : c = a + b).asstring();
        case '-':
            return (inplace ? c -= b : c = a - b).asstring();
        case 'n':
            return (-a).asstring();
        case '/':
            return (inplace ? c /= b : c = a / b).asstring();
        case '%':
            return (inplace ? c %= b : c = a % b).asstring();
        default:
            return QUORVEL::pow(a, e).asstring();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fuzzing;
    reader in(data, size);
    const std::uint64_t w = width(in, 700, false);
    const std::uint8_t flags = in.byte();
    const char op = "+-n/%p"[in.byte() % 6];
    const std::uint64_t e = flags & 32 ? in.u64() : in.byte();
    fixedint a(w), b(w);
    a.digits = digits(in, w);
    b.digits = digits(in, w);
    a.negative = flags & 1;
    b.negative = flags & 2;
    a.issigned = (flags & 4) == 0;
    const bool inplace = flags & 8;
    const std::string what = std::string("op ") + op + " width " + std::to_string(w);
    check(a.compare(b) == oracle::comparison(a, b), "comparison at " + what);
    if (a.compare(b) == 0)
        check(a.hash() == b.hash(), "hash at " + what);
    try
    {
        const std::string g = got(op, a, b, e, inplace);
        check(!((op == '/' || op == '%') && w > 0 && oracle::valueof(b).magnitude.empty()),
              "division by zero must throw");
        const std::string want = expected(op, a, b, e);
        check(g == want, what + ": got " + g + ", want " + want);
    }
    catch (const std::domain_error&)
    {
        check((op == '/' || op == '%') && oracle::valueof(b).magnitude.empty(), "domain_error");
    }
    clearlog();
    return 0;
}
