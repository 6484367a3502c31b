#include "support.hpp"

#include <quorvel/quorvel.hpp>
#if defined(QUORVEL_TEST_INTERNALS)
#include "kernel/transform/backend.hpp"
#include "log/timetext.hpp"
#include "platform/clock.hpp"
#endif

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support
{
namespace
{
// Death tests re-run the binary in the child, so the module starts afresh there. The flag is set
// once gtest is running: its flag strings may not be constructed yet during static initialisation.
struct threadsafedeathtests : testing::Environment
{
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};
testing::Environment* const threadsafe =
    testing::AddGlobalTestEnvironment(new threadsafedeathtests);
}  // namespace

// "Www Mmm dd hh:mm:ss yyyy", as the platform's calendar text writes it.
bool istimetext(const std::string& t)
{
    auto oneof = [&](const std::string& names, std::size_t at)
    {
        const std::size_t k = names.find(t.substr(at, 3));
        return k != std::string::npos && k % 3 == 0;
    };
    auto digit = [&](std::size_t i, char highest = '9') { return t[i] >= '0' && t[i] <= highest; };
    return t.size() == 24 && oneof("MonTueWedThuFriSatSun", 0) && t[3] == ' ' &&
           oneof("JanFebMarAprMayJunJulAugSepOctNovDec", 4) && t[7] == ' ' &&
           (t[8] == ' ' || digit(8, '3')) && digit(9) && t[10] == ' ' && digit(11, '2') &&
           digit(12) && t[13] == ':' && digit(14, '5') && digit(15) && t[16] == ':' &&
           digit(17, '6') && digit(18) && t[19] == ' ' && digit(20) && digit(21) && digit(22) &&
           digit(23);
}

std::vector<std::string> messages(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
    {
        const bool wellformed = l.size() >= 36 && l.compare(0, 9, "QUORVEL [") == 0 &&
                                istimetext(l.substr(9, 24)) && l.compare(33, 3, "]: ") == 0;
        out.push_back(wellformed ? l.substr(36) : "MALFORMED: " + l);
    }
    return out;
}

std::size_t logmark()
{
    return QUORVEL::logstream.str().size();
}

std::string logsince(std::size_t mark)
{
    return QUORVEL::logstream.str().substr(mark);
}

std::string readfile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writefile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string freshfolder(const std::string& name)
{
    std::filesystem::remove_all(name);
    std::filesystem::create_directories(name);
    return std::filesystem::absolute(name).string();
}

bool childresult::abortedbysignal() const
{
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT;
}

childresult runchild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& dir, unsigned seconds)
{
    const std::string outpath = dir + "/.stdout", errpath = dir + "/.stderr";
    std::vector<char*> argv;
    std::vector<std::string> all;
#if defined(QUORVEL_TEST_EMULATOR)
    // A cross build's tests run under an emulator, which cannot start a program of its target by
    // itself: the child goes through it too. Its words are separated by '|'.
    std::istringstream words(QUORVEL_TEST_EMULATOR);
    for (std::string word; std::getline(words, word, '|');) all.push_back(word);
#endif
    all.push_back(program);
    all.insert(all.end(), args.begin(), args.end());
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
    {
        // Only async-signal-safe calls between fork and exec.
        const int out = open(outpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || chdir(dir.c_str()) != 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(125);
        prctl(PR_SET_DUMPABLE, 0);  // an abort is expected: no core dump
        alarm(seconds);             // survives exec: a hang ends by SIGALRM
        execv(argv[0], argv.data());
        _exit(126);
    }
    childresult r;
    waitpid(pid, &r.status, 0);
    r.out = readfile(outpath);
    r.err = readfile(errpath);
    std::remove(outpath.c_str());
    std::remove(errpath.c_str());
    return r;
}

#if defined(QUORVEL_TEST_INTERNALS)
namespace transform = QUORVEL::detail::transform;

std::vector<std::string> transformbackends()
{
    std::vector<std::string> names;
    for (const transform::backend* b : transform::backends)
        if (b->available())
            names.emplace_back(b->name);
    return names;
}

usebackend::usebackend(const std::string& name)
{
    const transform::backend* chosen = nullptr;
    for (const transform::backend* b : transform::backends)
        if (b->available() && name == b->name)
            chosen = b;
    if (chosen == nullptr && !name.empty())
        throw std::invalid_argument("no transform backend " + name + " here");
    before = transform::forcebackend(chosen);
}

usebackend::~usebackend()
{
    transform::forcebackend(static_cast<const transform::backend*>(before));
}

std::string timetext(std::int64_t seconds)
{
    std::tm t{};
    const bool ok = QUORVEL::detail::localcalendar(seconds, t);
    char out[QUORVEL::detail::timetextlength];
    QUORVEL::detail::formattime(t, ok, out);
    return std::string(out, sizeof out);
}
#else
std::vector<std::string> transformbackends()
{
    return {""};
}

usebackend::usebackend(const std::string& name)
{
    if (!name.empty())
        throw std::invalid_argument("a shared build cannot choose the transform's backend");
}

usebackend::~usebackend() = default;
#endif

unsigned testseed()
{
    const char* env = std::getenv("QUORVEL_TEST_SEED");
    return env != nullptr ? static_cast<unsigned>(std::strtoul(env, nullptr, 10)) : 20261209u;
}

std::vector<std::string> startupmessages()
{
    return {"First fixedint/fixedfloat object created!",
            "Start Initialization of Quorvel Arithmetic module.", "Setting up log dumper...",
            "Done. Init Successful"};
}

std::vector<std::string> constructionmessages(unsigned long long width)
{
    return {"New fixedint object!", "Resizing Digits to: " + std::to_string(width), "Done."};
}

std::vector<std::string> reportmessages(const std::string& type, const std::string& what)
{
    return {"Terminate called. Preparing report.",
            "Opened File.",
            "Rethrowing exception and getting type.",
            "Exception type: " + type,
            "what(): " + what,
            "--- LOG END: NO FURTHER MESSAGES ---"};
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
}  // namespace testing_support
