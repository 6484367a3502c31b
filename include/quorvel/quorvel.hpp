/// @file
/// quorvel: fixed-width decimal integers, a fixed-point type and the module log.
///
/// A `fixedint` is a signed integer held as a fixed number of decimal digits (its width). Values
/// come in from integers of any type or decimal text and leave as text or integers; sums,
/// differences, products, quotients, remainders and powers wrap around to the width. Every
/// notable step is written to a process-wide in-memory log; the first number made starts the
/// module, which installs a termination handler that writes the log to "logs/quorvel.log" when the
/// process terminates abnormally. `<quorvel/format.hpp>` adds `std::format` and {fmt} support.
///
/// This header includes the others: `<quorvel/log.hpp>` (the log, start-up and report),
/// `<quorvel/fixedint.hpp>` (the integer), `<quorvel/numbertheory.hpp>` (gcd, roots, modular powers
/// and inverses), `<quorvel/charconv.hpp>` (`tochars` and `fromchars`) and
/// `<quorvel/fixedfloat.hpp>` (the fixed-point type).
///
/// Threads: numbers may be used from several threads at once, each thread with its own numbers.
/// The log, the start-up and the report are safe for that: every line is whole, none is lost, and
/// the module starts exactly once. One number shared by threads needs the caller's lock when any
/// of them changes it, as any standard container does; so does the `logstream` object itself when
/// threads read or write it directly (a `log` call needs none).
#pragma once

/// @namespace QUORVEL
/// Everything quorvel offers: `fixedint` (fixed-width decimal integers) and its number theory and
/// character conversions, `fixedfloat` (fixed-point decimals), and the module log with its
/// start-up and termination report. `QUORVEL::detail` holds what the headers need internally; it
/// is no part of the interface.

// NOLINTBEGIN(cppcoreguidelines-macro-usage): macros, so that `#if` can test them
///@{
/// The library's version, MAJOR.MINOR.PATCH (docs/releasing.md says what each part promises).
#define QUORVEL_VERSION_MAJOR 0
#define QUORVEL_VERSION_MINOR 2
#define QUORVEL_VERSION_PATCH 0
///@}
/// The version as one number, MAJOR * 10000 + MINOR * 100 + PATCH, for `#if`.
#define QUORVEL_VERSION \
    (QUORVEL_VERSION_MAJOR * 10000 + QUORVEL_VERSION_MINOR * 100 + QUORVEL_VERSION_PATCH)
// NOLINTEND(cppcoreguidelines-macro-usage)

#include <quorvel/charconv.hpp>
#include <quorvel/fixedfloat.hpp>
#include <quorvel/fixedint.hpp>
#include <quorvel/log.hpp>
#include <quorvel/numbertheory.hpp>
