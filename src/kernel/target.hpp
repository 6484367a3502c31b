// Internal: regions of a file compiled for an instruction set beyond the build's baseline, with
// GCC or Clang on x86-64 (`QUORVEL_X86_TARGETS`): every function between
// QUORVEL_TARGET_BEGIN("avx2,fma") and QUORVEL_TARGET_END may use those instructions, the rest
// of the library being compiled for the baseline. Callers check the processor at run time
// before calling any. Not installed.
#pragma once

// NOLINTBEGIN(cppcoreguidelines-macro-usage): pragmas can only come from macros
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUORVEL_X86_TARGETS 1
#define QUORVEL_PRAGMA(text) _Pragma(#text)
#if defined(__clang__)
#define QUORVEL_TARGET_BEGIN(features) \
    QUORVEL_PRAGMA(clang attribute push(__attribute__((target(features))), apply_to = function))
#define QUORVEL_TARGET_END QUORVEL_PRAGMA(clang attribute pop)
#else
#define QUORVEL_TARGET_BEGIN(features) \
    QUORVEL_PRAGMA(GCC push_options) QUORVEL_PRAGMA(GCC target(features))
#define QUORVEL_TARGET_END QUORVEL_PRAGMA(GCC pop_options)
#endif
#endif
// NOLINTEND(cppcoreguidelines-macro-usage)
