// Public fields left in states that break the invariants: a store longer or shorter than the
// width, digits outside 0 to 9. Every operation must stay inside the store and end with a result
// or a standard exception; the sanitizers catch the rest.
#include "common.hpp"

#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fuzzing;
    reader in(data, size);
    const std::uint64_t w = width(in, 300);
    QUORVEL::fixedint a(w), b(w);
    for (QUORVEL::fixedint* x : {&a, &b})
    {
        x->digits.resize(static_cast<std::size_t>(in.below(2 * w + 3)));
        for (auto& d : x->digits)
            d = static_cast<std::int8_t>(in.byte() & 1 ? in.byte() : in.byte() % 10);
        x->negative = in.byte() & 1;
    }
    for (int step = 0; step < 8 && in.left() > 0; ++step)
    {
        try
        {
            switch (in.byte() % 7)
            {
                case 0:
                {
                    const QUORVEL::fixedint p = a * b;
                    for (auto d : p.digits) check(d >= 0 && d <= 9, "product digit out of range");
                    check(p.digits.size() == p.size, "product store length");
                    break;
                }
                case 1:
                    (void)a.asstring();
                    break;
                case 2:
                    a.wholeshiftr();
                    break;
                case 3:
                    (void)a.getshorteneddigits();
                    (void)a.getcopy();
                    break;
                case 4:
                {
                    const QUORVEL::fixedfloat f{a, in.byte()};
                    b = f;
                    break;
                }
                case 5:
                    a = static_cast<std::int64_t>(in.u64());
                    break;
                default:
                    a.resize(in.below(2 * w + 3));
                    break;
            }
        }
        catch (const std::exception&)  // a clear, standard failure is an accepted outcome
        {
        }
    }
    clearlog();
    return 0;
}
