// Assignment from every kind of 64-bit integer and rendering, against std::to_string.
#include "common.hpp"

#include <limits>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fuzzing;
    reader in(data, size);
    const std::uint64_t w = width(in, 40);
    const std::uint8_t kind = in.byte();
    std::int64_t v = static_cast<std::int64_t>(in.u64());
    if (kind % 4 == 1)
        v = kind & 4 ? std::numeric_limits<std::int64_t>::min()
                     : std::numeric_limits<std::int64_t>::max();
    else if (kind % 4 == 2)
        v >>= in.byte() % 64;  // short values of both signs
    QUORVEL::fixedint x(w);
    x.negative = kind & 8;
    x.issigned = !(kind & 16);
    const bool wasnegative = x.negative;
    const std::string text = std::to_string(v);
    const std::size_t len = text.size() - (v < 0 ? 1 : 0);
    try
    {
        x = v;
        check(len <= w, "accepted " + text + " at width " + std::to_string(w));
        const bool negative = x.issigned ? v < 0 : wasnegative;
        check(x.negative == negative, "sign of " + text);
        const std::string magnitudetext = v < 0 ? text.substr(1) : text;
        check(x.asstring() == (negative ? "-" : "") + magnitudetext,
              "rendering of " + text + ": " + x.asstring());
        check(x.digits.size() == w, "store length");
    }
    catch (const std::out_of_range& e)
    {
        check(len > w && std::string(e.what()) == "Input int bigger than size!", e.what());
        check(x.asstring() == rendering(x) && x.negative == wasnegative, "changed on failure");
    }
    clearlog();
    return 0;
}
