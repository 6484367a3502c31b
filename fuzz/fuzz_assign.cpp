// Assignment from 64-bit integers of both signednesses and from decimal text (with signs, leading
// zeros, and the input's own bytes), rendering, asint64, and reading back from a stream, against
// std::to_string and a model of the text rules.
#include "common.hpp"

#include <limits>
#include <sstream>
#include <stdexcept>

namespace
{
using fuzzing::check;

// What text assignment must do with `text` at width w: the rendering of the result, or "!" for
// std::invalid_argument, or "" for std::out_of_range.
std::string modeltext(const std::string& text, std::uint64_t w, bool issigned, bool wasnegative)
{
    std::string body = text;
    const bool minus = !body.empty() && body[0] == '-';
    if (!body.empty() && (body[0] == '-' || body[0] == '+'))
        body.erase(0, 1);
    if (body.empty() || body.find_first_not_of("0123456789") != std::string::npos)
        return "!";
    body.erase(0, std::min(body.find_first_not_of('0'), body.size() - 1));
    if (body.size() > w)
        return "";
    const bool negative = issigned ? minus : wasnegative;
    return (negative ? "-" : "") + body;
}
}  // namespace

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
    const bool unsignedtype = kind & 32;
    const std::string text =
        unsignedtype ? std::to_string(static_cast<std::uint64_t>(v)) : std::to_string(v);
    const std::size_t len = text.size() - (text[0] == '-' ? 1 : 0);
    try
    {
        if (unsignedtype)
            x = static_cast<std::uint64_t>(v);  // the template for every integer type
        else
            x = v;
        check(len <= w, "accepted " + text + " at width " + std::to_string(w));
        const bool negative = x.issigned ? text[0] == '-' : wasnegative;
        check(x.negative == negative, "sign of " + text);
        const std::string magnitudetext = text[0] == '-' ? text.substr(1) : text;
        check(x.asstring() == (negative ? "-" : "") + magnitudetext,
              "rendering of " + text + ": " + x.asstring());
        check(x.digits.size() == w, "store length");
        if (x.issigned && !unsignedtype)
            check(x.asint64() == v, "asint64 of " + text);
    }
    catch (const std::out_of_range& e)
    {
        check(len > w && std::string(e.what()) == "Input int bigger than size!", e.what());
        check(x.asstring() == rendering(x) && x.negative == wasnegative, "changed on failure");
    }

    // Text: the value's own with leading zeros and a sign chosen by the input, or the input's
    // bytes as they come.
    std::string t;
    if (kind & 64)
        while (in.left() > 0 && t.size() < 64) t += static_cast<char>(in.byte());
    else
    {
        const std::string digitsonly = text[0] == '-' ? text.substr(1) : text;
        const std::uint8_t form = in.byte();
        t = std::string(form % 4, '0') + digitsonly;
        if (form & 4)
            t = (form & 8 ? "-" : "+") + t;
    }
    QUORVEL::fixedint y(w);
    y.issigned = x.issigned;
    y.negative = wasnegative;
    const std::string before = rendering(y);
    const std::string want = modeltext(t, w, y.issigned, y.negative);
    try
    {
        y = t;
        check(y.asstring() == want, "text \"" + t + "\": got " + y.asstring() + ", want " + want);
        std::istringstream stream(" " + t + " ");  // read back from a stream, blanks around
        QUORVEL::fixedint z(w);
        z.issigned = y.issigned;
        z.negative = wasnegative;
        stream >> z;
        check(!stream.fail() && z.asstring() == want, "stream read of \"" + t + "\"");
    }
    catch (const std::invalid_argument&)
    {
        check(want == "!" && rendering(y) == before, "invalid text \"" + t + "\"");
    }
    catch (const std::out_of_range&)
    {
        check(want.empty() && rendering(y) == before, "text too wide \"" + t + "\"");
    }
    clearlog();
    return 0;
}
