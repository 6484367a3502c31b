// Number theory (gcd, lcm, isqrt, iroot, powmod, invert) and built-in integer operands, on
// operands of every class, signs and issigned, at the widths where the kernels change method:
// against GMP where found; without it, against the properties that define the results (the gcd
// divides both operands, r^2 <= x < (r + 1)^2, x times its inverse is 1).
#include "common.hpp"

#include <quorvel/numbertheory.hpp>

#include <stdexcept>

namespace
{
using QUORVEL::fixedint;

// x's value as the operation reads it (the sign only where `issigned`), widened to `width`.
fixedint widened(const fixedint& x, std::uint64_t width, bool issigned)
{
    fixedint w = x;
    w.resize(width);
    w.negative = issigned && x.negative && !x.iszero();
    return w;
}

#if defined(QUORVEL_FUZZ_GMP)
using fuzzing::gmptext;
using fuzzing::gmpvalue;

// a op v for a built-in integer v, as GMP gives it: exactly, or on residues modulo 10^width
// where a's issigned is false.
std::string withinteger(char op, const fixedint& a, std::int64_t v)
{
    gmpvalue x(a, a.issigned), y, r, m;
    mpz_set_si(y.v, v);
    mpz_ui_pow_ui(m.v, 10, a.size);
    if (!a.issigned)
        mpz_fdiv_r(y.v, y.v, m.v);
    if ((op == '/' || op == '%') && mpz_sgn(y.v) == 0)
        return a.size == 0 ? "" : "domain";
    fuzzing::gmpapply(op, r.v, x.v, y.v);
    if (!a.issigned)
        mpz_fdiv_r(r.v, r.v, m.v);
    return gmptext(r.v, a.size, true);
}

// What GMP gives, or "domain" where the operation must throw.
std::string expected(char op, const fixedint& a, const fixedint& b, std::uint64_t k)
{
    const bool s = a.issigned;
    gmpvalue x(a, s), y(b, s), r;
    const bool positive = mpz_sgn(y.v) > 0;
    switch (op)
    {
        case 'g':
            mpz_gcd(r.v, x.v, y.v);
            break;
        case 'l':
            mpz_lcm(r.v, x.v, y.v);
            break;
        case 'q':
        case 'r':
            if (mpz_sgn(x.v) < 0 || (op == 'r' && k == 0))
                return "domain";
            mpz_root(r.v, x.v, op == 'q' ? 2 : k);
            break;
        case 'p':
            if (!positive)
                return "domain";
            mpz_powm_ui(r.v, x.v, k, y.v);
            break;
        case 'i':
        {
            gmpvalue m;
            mpz_ui_pow_ui(m.v, 10, a.size);
            if (a.size > 0 && mpz_invert(r.v, x.v, m.v) == 0)
                return "domain";
            break;
        }
        default:
            if (!positive || (mpz_cmp_ui(y.v, 1) != 0 && mpz_invert(r.v, x.v, y.v) == 0))
                return "domain";
    }
    return gmptext(r.v, a.size, true);
}
#endif

std::string got(char op, const fixedint& a, const fixedint& b, std::uint64_t k)
{
    const auto v = static_cast<std::int64_t>(k);
    switch (op)
    {
        case '+':
            return (a + v).asstring();
        case '-':
            return (a - v).asstring();
        case '*':
            return (a * v).asstring();
        case '/':
            return (a / v).asstring();
        case '%':
            return (a % v).asstring();
        case 'g':
            return gcd(a, b).asstring();
        case 'l':
            return lcm(a, b).asstring();
        case 'q':
            return isqrt(a).asstring();
        case 'r':
            return iroot(a, k).asstring();
        case 'p':
            return powmod(a, k, b).asstring();
        case 'i':
            return invert(a).asstring();
        default:
            return invert(a, b).asstring();
    }
}

// Without GMP: the properties of gcd, isqrt and the inverses.
void checkproperties(char op, const fixedint& a, const fixedint& b, const std::string& result)
{
    using fuzzing::check;
    const std::uint64_t w = a.size, wide = 2 * w + 2;
    if (w == 0 || result == "domain")
        return;
    const fixedint r(wide, result);
    const fixedint x = widened(a, wide, a.issigned), y = widened(b, wide, a.issigned);
    if (op == 'g')
        check((r.iszero() && x.iszero() && y.iszero()) ||
                  (!r.iszero() && (x % r).iszero() && (y % r).iszero()),
              "the gcd divides both");
    else if (op == 'q')
        check(r * r <= x && x < (r + 1) * (r + 1), "isqrt's bounds");
    else if (op == 'j')
        check(y == 1 ? r.iszero() : ((x * r) % y + y) % y == 1, "x times its inverse");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fuzzing;
    reader in(data, size);
    const std::uint64_t w = width(in, 400, false);
    const std::uint8_t flags = in.byte();
    const char op = "glqrpij+-*/%"[in.byte() % 12];
    const std::uint64_t k = flags & 32 ? in.u64() : in.byte() % 8;
    fixedint a(w), b(w);
    a.digits = digits(in, w);
    b.digits = digits(in, w);
    a.negative = flags & 1;
    b.negative = flags & 2;
    a.issigned = (flags & 4) == 0;
    const std::string what = std::string("op ") + op + " width " + std::to_string(w);
    std::string g;
    try
    {
        g = got(op, a, b, k);
    }
    catch (const std::domain_error&)
    {
        g = "domain";
    }
#if defined(QUORVEL_FUZZ_GMP)
    const bool mixed = op == '+' || op == '-' || op == '*' || op == '/' || op == '%';
    const std::string want =
        mixed ? withinteger(op, a, static_cast<std::int64_t>(k)) : expected(op, a, b, k);
    check(g == want, what + ": got " + g + ", want " + want);
#endif
    checkproperties(op, a, b, g);
    clearlog();
    return 0;
}
