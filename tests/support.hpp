// Helpers shared by the test files: log parsing, run folders and child processes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// AddressSanitizer reports a failed operator new instead of throwing std::bad_alloc.
#if defined(__SANITIZE_ADDRESS__)
#define QUORVEL_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_TEST_ASAN 1
#endif
#endif
#if defined(QUORVEL_TEST_ASAN)
#define SKIP_WITHOUT_BAD_ALLOC() GTEST_SKIP() << "no std::bad_alloc under AddressSanitizer"
#else
#define SKIP_WITHOUT_BAD_ALLOC() (void)0
#endif
// A death test runs the test program again in a child, which a program under an emulator
// (qemu-user, without binfmt_misc) cannot do by itself.
#if defined(QUORVEL_TEST_EMULATOR)
#define SKIP_UNDER_EMULATOR() \
    GTEST_SKIP() << "a death test cannot re-run the program under an emulator"
#else
#define SKIP_UNDER_EMULATOR() (void)0
#endif

namespace testing_support
{
/// A width the digit store accepts (within the vector's maximum length) but memory cannot hold,
/// so it fails with std::bad_alloc: 2^62 on 64-bit targets; on 32-bit ones the maximum length,
/// which fails once the address space is limited (the child does that).
constexpr std::uint64_t unallocatablewidth =
    sizeof(std::size_t) >= 8 ? std::uint64_t{1} << 62 : std::uint64_t{PTRDIFF_MAX};
/// The messages of a log text, one per line. A line not in the log's format
/// ("QUORVEL [Www Mmm dd hh:mm:ss yyyy]: message") comes back as "MALFORMED: <line>".
std::vector<std::string> messages(const std::string& text);
/// What the module log gained since `mark` (a length of the log taken earlier).
std::string logsince(std::size_t mark);
/// The current length of the module log.
std::size_t logmark();

std::string readfile(const std::string& path);
void writefile(const std::string& path, const std::string& text);

/// A fresh, empty folder `name` below the working directory (removed first if present).
std::string freshfolder(const std::string& name);

struct childresult
{
    int status = 0;  ///< as waitpid reports it
    std::string out, err;
    bool abortedbysignal() const;  ///< ended by SIGABRT
};
/// Runs `program` with `args` in folder `dir`, capturing its standard output and error. A child
/// still running after `seconds` is ended by SIGALRM (it hung).
childresult runchild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& dir, unsigned seconds = 60);

/// The seed of the randomized tests: QUORVEL_TEST_SEED, or a fixed one. Failures print it.
unsigned testseed();

/// The transform's backends to test: each one this build and processor run, by name. Where the
/// tests cannot reach inside the library (a shared build), the one it chooses itself, named "".
std::vector<std::string> transformbackends();
/// Makes the library's products use the backend named (its own choice for "") while it lives.
class usebackend
{
public:
    explicit usebackend(const std::string& name);
    ~usebackend();
    usebackend(const usebackend&) = delete;
    usebackend& operator=(const usebackend&) = delete;

private:
    const void* before = nullptr;
};

/// The time text of `seconds` as the log renders it: the platform's local calendar text.
std::string timetext(std::int64_t seconds);

/// The four start-up messages.
std::vector<std::string> startupmessages();
/// The three messages of a size construction of width `width`.
std::vector<std::string> constructionmessages(unsigned long long width);
/// The six report messages, with the given type and what texts.
std::vector<std::string> reportmessages(const std::string& type, const std::string& what);
/// `a` followed by `b`.
std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b);
}  // namespace testing_support
