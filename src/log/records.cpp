#include "log/records.hpp"

namespace QUORVEL
{
namespace detail
{
std::size_t decimallength(std::uint64_t v)
{
    std::size_t n = 1;
    while (v >= 10)
    {
        v /= 10;
        ++n;
    }
    return n;
}

std::size_t putdecimal(char* out, std::uint64_t v)
{
    const std::size_t n = decimallength(v);
    for (std::size_t i = n; i-- > 0; v /= 10) out[i] = static_cast<char>('0' + v % 10);
    return n;
}

std::size_t putvarint(unsigned char* out, std::uint64_t v)
{
    std::size_t n = 0;
    while (v >= 0x80)
    {
        out[n++] = static_cast<unsigned char>(v | 0x80);
        v >>= 7;
    }
    out[n++] = static_cast<unsigned char>(v);
    return n;
}
}  // namespace detail
}  // namespace QUORVEL
