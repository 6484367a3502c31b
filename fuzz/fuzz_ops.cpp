// resize, wholeshiftr, getshorteneddigits, getcopy, getintpart and the assignment from a
// fixedfloat, in sequences the input chooses, against a model: the digits as a text.
#include "common.hpp"

#include <string>

namespace
{
// The model: the magnitude's digits least significant first, exactly `width` of them.
struct model
{
    std::string d;  // '0' to '9'
    bool negative = false;
};

std::vector<std::int8_t> asdigits(const model& m)
{
    std::vector<std::int8_t> v;
    for (char c : m.d) v.push_back(static_cast<std::int8_t>(c - '0'));
    return v;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fuzzing;
    reader in(data, size);
    const std::uint64_t w = width(in, 300);
    QUORVEL::fixedint x(w);
    x.digits = digits(in, w);
    x.negative = in.byte() & 1;
    model m{std::string(), x.negative};
    for (auto d : x.digits) m.d += static_cast<char>('0' + d);
    for (int step = 0; step < 16 && in.left() > 0; ++step)
    {
        switch (in.byte() % 5)
        {
            case 0:
            {
                const std::uint64_t n = in.below(400);
                x.resize(n);
                m.d.resize(static_cast<std::size_t>(n), '0');
                break;
            }
            case 1:
                x.wholeshiftr();
                if (!m.d.empty())
                    m.d = m.d.substr(1) + '0';
                break;
            case 2:
            {
                const auto s = x.getshorteneddigits();
                std::string t = m.d;
                while (!t.empty() && t.back() == '0') t.pop_back();
                check(s.size() == t.size(), "shortened length");
                break;
            }
            case 3:
            {
                const QUORVEL::fixedint c = x.getcopy();
                check(c.digits == x.digits && c.size == x.size && c.negative == x.negative,
                      "getcopy");
                break;
            }
            default:
            {
                const std::uint64_t pointpos =
                    in.byte() & 1 ? in.u64() : in.below(2 * m.d.size() + 3);
                const QUORVEL::fixedfloat f{x, pointpos};
                const std::uint64_t k = pointpos / 2;
                const std::size_t drop = k < m.d.size() ? static_cast<std::size_t>(k) : m.d.size();
                m.d = m.d.substr(drop) + std::string(drop, '0');
                QUORVEL::fixedint target(in.below(50));
                target = f;
                x = target;
                check(f.pointpos == pointpos, "fixedfloat changed");
                break;
            }
        }
        check(x.size == m.d.size() && x.digits == asdigits(m) && x.negative == m.negative,
              "model mismatch at width " + std::to_string(m.d.size()));
        check(x.asstring() == rendering(x), "rendering");
    }
    clearlog();
    return 0;
}
