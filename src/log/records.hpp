// Internal: the log's line format and its records, the compact form in which lines are kept until
// the log is read. Not installed.
//
// A record starts with its kind. A fixed message is that one byte; the width message carries its
// number, a caller's message its length and bytes, and text written to `logstream` is kept as raw
// text. The time text is a record of its own, written only when the second changes: the lines
// after it carry that time. Numbers are stored seven bits a byte, low bits first.
#pragma once

#include "log/messages.hpp"

#include <cstddef>
#include <cstdint>

namespace QUORVEL
{
namespace detail
{
/// A line: this prefix, the time text, the separator, the message and a line feed.
constexpr messagetext lineprefix = textof("QUORVEL [");
constexpr messagetext lineseparator = textof("]: ");
/// Length of the time text: "Www Mmm dd hh:mm:ss yyyy".
constexpr std::size_t timetextlength = 24;
/// What a line carries when the platform cannot render the time.
constexpr char timeplaceholder[] = "??? ??? ?? ??:??:?? ????";
static_assert(sizeof timeplaceholder == timetextlength + 1, "the placeholder is a time text");
/// Where a line's time text starts, and where its message does.
constexpr std::size_t timeoffset = lineprefix.length;
constexpr std::size_t linehead = lineprefix.length + timetextlength + lineseparator.length;

/// The length of the text of a line whose message is `messagelength` characters long. Every
/// length the log keeps is computed here, and the renderer writes exactly this much.
constexpr std::uint64_t linelength(std::uint64_t messagelength)
{
    return linehead + messagelength + 1;
}

/// The number of decimal digits of v (one for zero): from its binary length, then one comparison.
inline std::size_t decimallength(std::uint64_t v)
{
    constexpr std::uint64_t tens[] = {1ULL,
                                      10ULL,
                                      100ULL,
                                      1000ULL,
                                      10000ULL,
                                      100000ULL,
                                      1000000ULL,
                                      10000000ULL,
                                      100000000ULL,
                                      1000000000ULL,
                                      10000000000ULL,
                                      100000000000ULL,
                                      1000000000000ULL,
                                      10000000000000ULL,
                                      100000000000000ULL,
                                      1000000000000000ULL,
                                      10000000000000000ULL,
                                      100000000000000000ULL,
                                      1000000000000000000ULL,
                                      10000000000000000000ULL};
#if defined(__GNUC__) || defined(__clang__)
    const std::size_t bits = 64 - static_cast<std::size_t>(__builtin_clzll(v | 1));
#else
    std::size_t bits = 1;
    while (bits < 64 && (v >> bits) != 0) ++bits;
#endif
    // 1233 / 4096 is just above log10(2): t is the length, or one short of it, and 10^t decides.
    const std::size_t t = (bits * 1233) >> 12;
    return v == 0 ? 1 : t + (v >= tens[t] ? 1 : 0);
}
/// Writes v in decimal at out; returns the number of characters.
std::size_t putdecimal(char* out, std::uint64_t v);

/// The longest line of a fixed or width message (whose number has at most 20 digits), line feed
/// included: what a renderer needs room for.
constexpr std::size_t longestline()
{
    std::size_t longest = widthmessage.length + 20;
    for (const messagetext& m : fixedmessages) longest = m.length > longest ? m.length : longest;
    return static_cast<std::size_t>(linelength(longest));
}

/// The kind of a record, its first byte.
enum : unsigned char
{
    optime,   // the time text of the lines that follow: 24 bytes
    opwidth,  // the width message: its number
    optext,   // a line with a message of its own: its length, then its bytes
    opraw,    // raw text written to the stream: its length, then its bytes
    opfixed,  // opfixed + n: the fixed message n
};

/// The longest number: ten bytes of seven bits.
constexpr std::size_t longestvarint = 10;
/// Stores v seven bits a byte, low bits first, the high bit set where more follow; returns the
/// number of bytes.
inline std::size_t putvarint(unsigned char* out, std::uint64_t v)
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

/// The text lengths of the three kinds of lines.
inline std::uint64_t fixedlinelength(line which)
{
    return linelength(messageof(which).length);
}
inline std::uint64_t widthlinelength(std::uint64_t width)
{
    return linelength(widthmessage.length + decimallength(width));
}
inline std::uint64_t textlinelength(std::uint64_t messagelength)
{
    return linelength(messagelength);
}
}  // namespace detail
}  // namespace QUORVEL
