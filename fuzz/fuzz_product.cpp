// Products at widths 0 to 4,096 and at the kernel's thresholds, with every operand class, sign and
// issigned, against the reference arithmetic and GMP.
#include "common.hpp"

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fuzzing;
    reader in(data, size);
    const std::uint64_t w = width(in, 4096, true);
    const std::uint8_t flags = in.byte();
    QUORVEL::fixedint a(w), b(w);
    a.digits = digits(in, w);
    b.digits = digits(in, w);
    a.negative = flags & 1;
    b.negative = flags & 2;
    a.issigned = !(flags & 4);
    b.issigned = !(flags & 8);
    try
    {
        const QUORVEL::fixedint p = a * b;
        check(w > 0, "width 0 must throw");
        std::string want = product(a.digits, b.digits, w);
        if (a.issigned && a.negative != b.negative)
            want = "-" + want;
        const std::string got = p.asstring();
        check(got == want, "width " + std::to_string(w) + ": got " + got + ", want " + want);
        check(p.size == w && p.digits.size() == w && p.issigned && !p.spareflag, "result fields");
    }
    catch (const std::out_of_range& e)
    {
        check(w == 0 && std::string(e.what()) == "Input int bigger than size!", e.what());
    }
    clearlog();
    return 0;
}
