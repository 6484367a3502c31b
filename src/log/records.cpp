#include "log/records.hpp"

namespace QUORVEL
{
namespace detail
{
std::size_t putdecimal(char* out, std::uint64_t v)
{
    const std::size_t n = decimallength(v);
    for (std::size_t i = n; i-- > 0; v /= 10) out[i] = static_cast<char>('0' + v % 10);
    return n;
}

}  // namespace detail
}  // namespace QUORVEL
