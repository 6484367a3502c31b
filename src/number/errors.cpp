#include "number/errors.hpp"

#include <stdexcept>
#include <string>

namespace QUORVEL
{
namespace detail
{
void throwunequalwidths()
{
    throw std::length_error("Int sizes are not equal!");
}

void throwtoowide()
{
    throw std::out_of_range("Input int bigger than size!");
}

void throwproductindex(std::uint64_t index)
{
    throw std::out_of_range(
        "Report this to dev: Out of range while running multiplication! Index: " +
        std::to_string(index));
}

void throwdivisionbyzero()
{
    throw std::domain_error("fixedint: division by zero");
}

void throwbadtext(std::string_view what, std::string_view text)
{
    constexpr std::size_t shown = 40;
    std::string message(what);
    message += ": \"";
    message.append(text.substr(0, shown));
    message += text.size() > shown ? "...\"" : "\"";
    throw std::invalid_argument(message);
}

void throwdoesnotfit(const char* type)
{
    throw std::out_of_range(std::string("fixedint: value does not fit in ") + type);
}
}  // namespace detail
}  // namespace QUORVEL
