// Products at widths 0 to 4,096 and at the kernel's thresholds, with every operand class, sign and
// issigned, against the reference arithmetic and GMP; on every backend of the transform this
// processor runs (from about 3,000 digits the product is a transform).
#include "common.hpp"

#include <stdexcept>
#if defined(QUORVEL_TEST_INTERNALS)
#include "kernel/transform/backend.hpp"
#endif

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
    std::string want;
    if (w > 0)
    {
        want = product(a.digits, b.digits, w);
        if (a.issigned && a.negative != b.negative)
            want = "-" + want;
    }
    const auto run = [&](const std::string& backend)
    {
        try
        {
            const QUORVEL::fixedint p = a * b;
            check(w > 0, "width 0 must throw");
            const std::string got = p.asstring();
            check(got == want, "width " + std::to_string(w) + " on the " + backend +
                                   " backend: got " + got + ", want " + want);
            check(p.size == w && p.digits.size() == w && p.issigned && !p.spareflag,
                  "result fields");
        }
        catch (const std::out_of_range& e)
        {
            check(w == 0 && std::string(e.what()) == "Input int bigger than size!", e.what());
        }
    };
#if defined(QUORVEL_TEST_INTERNALS)
    namespace transform = QUORVEL::detail::transform;
    for (const transform::backend* backend : transform::backends)
        if (backend->available())
        {
            transform::forcebackend(backend);
            run(backend->name);
        }
    transform::forcebackend(nullptr);
#else  // the library's own choice alone: a shared build cannot be switched
    run("chosen");
#endif
    clearlog();
    return 0;
}
