// Internal: what the kernels ask of a compiler beyond the standard. Not installed.
#pragma once

// NOLINTBEGIN(cppcoreguidelines-macro-usage): an attribute of two compilers
#if defined(__GNUC__) || defined(__clang__)
/// Keeps a function out of line (a path its callers rarely take, or one measured on its own).
#define QUORVEL_NOINLINE __attribute__((noinline))
#else
#define QUORVEL_NOINLINE
#endif
// NOLINTEND(cppcoreguidelines-macro-usage)
