/// @file
/// `QUORVEL::fixedfloat`: a fixed-point decimal over a `fixedint`.
#pragma once

#include <quorvel/export.hpp>
#include <quorvel/fixedint.hpp>

#include <cstdint>
#include <string>

namespace QUORVEL
{
/// A fixed-point decimal: the digits of `number` with the lowest `pointpos / 2` (rounded down)
/// of them after the decimal point. Its value is `number` / 10^(pointpos / 2). Make one as
/// `QUORVEL::fixedfloat{QUORVEL::fixedint(width), pointpos}`; its `number` lives and logs as any
/// fixedint does.
class QUORVEL_API fixedfloat
{
public:
    /// The digits, sign and width of the value.
    fixedint number;
    /// Twice the number of digits after the point (odd values round down).
    std::uint64_t pointpos;

    /// The integer part: a copy of `number` (through `getcopy`, so its three construction lines
    /// are logged) with the fraction digits dropped, i.e. the magnitude divided by 10^(pointpos/2)
    /// toward zero. Width, sign flag (also when the result is zero: "-0"), `issigned` and
    /// `spareflag` are those of `number`. Changes nothing in this fixedfloat.
    fixedint getintpart() const;
    /// Decimal text with the point and every fraction digit: "-19.99", "0.05", "-0.45", "19.00";
    /// without a point when `pointpos / 2` is 0. The sign flag alone decides the "-". Logs
    /// nothing.
    std::string asstring() const;
};
}  // namespace QUORVEL
