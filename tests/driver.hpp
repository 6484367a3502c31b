// The request loop of the differential drivers (decimal_driver.cpp, integer_driver.cpp): one
// request per input line, one answer line for each; a standard exception the operations throw
// answers with its kind's name ("overflow", "domain", "invalid", "range", "length").
#pragma once

#include <quorvel/log.hpp>

#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace driver
{
template <class Answer>
int serve(Answer answer)
{
    std::ios::sync_with_stdio(false);
    for (std::string line; std::getline(std::cin, line);)
    {
        std::istringstream in(line);
        try
        {
            std::cout << answer(in) << '\n';
        }
        catch (const std::overflow_error&)
        {
            std::cout << "overflow\n";
        }
        catch (const std::domain_error&)
        {
            std::cout << "domain\n";
        }
        catch (const std::invalid_argument&)
        {
            std::cout << "invalid\n";
        }
        catch (const std::out_of_range&)
        {
            std::cout << "range\n";
        }
        catch (const std::length_error&)
        {
            std::cout << "length\n";
        }
        QUORVEL::logstream.str("");  // each number logs its life; these processes need none of it
    }
    return 0;
}
}  // namespace driver
