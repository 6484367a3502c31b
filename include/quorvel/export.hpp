/// @file
/// `QUORVEL_API`, the mark of the public entities: in a shared build they alone are exported.
#pragma once

// NOLINTBEGIN(cppcoreguidelines-macro-usage): set by the build, tested by the preprocessor
#if defined(QUORVEL_SHARED) && defined(_WIN32)
#if defined(QUORVEL_BUILDING)
#define QUORVEL_API __declspec(dllexport)
#else
#define QUORVEL_API __declspec(dllimport)
#endif
#elif defined(QUORVEL_SHARED)
#define QUORVEL_API __attribute__((visibility("default")))
#else
#define QUORVEL_API
#endif
// NOLINTEND(cppcoreguidelines-macro-usage)
