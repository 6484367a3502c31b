#include "support.hpp"

#include "quorvel/quorvel.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
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

std::vector<std::string> messages(const std::string& text)
{
    static const std::regex line(R"(QUORVEL \[(Mon|Tue|Wed|Thu|Fri|Sat|Sun) )"
                                 R"((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123][0-9] )"
                                 R"([0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}\]: (.*))");
    std::vector<std::string> out;
    std::istringstream in(text);
    std::smatch m;
    for (std::string l; std::getline(in, l);)
        out.push_back(std::regex_match(l, m, line) ? m[3].str() : "MALFORMED: " + l);
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
                     const std::string& dir)
{
    const std::string outpath = dir + "/.stdout", errpath = dir + "/.stderr";
    std::vector<char*> argv;
    std::vector<std::string> all{program};
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
        execv(program.c_str(), argv.data());
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
