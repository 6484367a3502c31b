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

void throwdoublenotfinite()
{
    throw std::invalid_argument("fixedint: NaN and infinities are not integers");
}

void throwdoublefraction(const std::string& text)
{
    throw std::invalid_argument("fixedint: " + text + " is not an integer");
}

void thrownegativeroot()
{
    throw std::domain_error("fixedint: no integer root of a negative number");
}

void throwzerothroot()
{
    throw std::domain_error("fixedint: no 0th root");
}

void throwmodulusnotpositive()
{
    throw std::domain_error("fixedint: the modulus must be positive");
}

void throwexponentnegative()
{
    throw std::domain_error("fixedint: the exponent must not be negative");
}

void thrownoinverse(bool poweroften)
{
    throw std::domain_error(poweroften ? "fixedint: no inverse modulo 10^width: the number is "
                                         "even or a multiple of 5"
                                       : "fixedint: no inverse: the number and the modulus have "
                                         "a common factor");
}
}  // namespace detail
}  // namespace QUORVEL
