// Numbers used from several threads at once, each thread with its own numbers.
#include "support.hpp"

#include <quorvel/quorvel.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace
{
using namespace testing_support;

void expect(bool ok, const char* what)
{
    if (!ok)
    {
        std::fprintf(stderr, "failed: %s\n", what);
        std::_Exit(1);
    }
}

void oldhandler()
{
    std::abort();
}

// Four threads make their first numbers at the same moment (so they race to start the module),
// then multiply and log, while a fifth reads the log as a stream. Start-up happens once, every
// line is whole and none is lost. A fresh process, since start-up is once per process.
void threadsharingthelog()
{
    constexpr int threads = 4, rounds = 3000;
    // Per thread: its number's construction and deletion (4 lines), and per round a product (6
    // lines), its deletion and that of the copied right operand, and one line of its own.
    constexpr std::size_t total = 4 + threads * (4 + rounds * 9);
    std::set_terminate(oldhandler);
    std::atomic<int> ready{0};
    std::atomic<bool> done{false};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back(
            [&ready, t]
            {
                ++ready;
                while (ready.load() < threads)
                {
                }
                QUORVEL::fixedint a(40);
                a = 99999 + t;
                const std::string want = std::to_string((99999LL + t) * (99999LL + t));
                for (int i = 0; i < rounds; ++i)
                {
                    expect((a * a).asstring() == want, "a product");
                    QUORVEL::log("thread " + std::to_string(t));
                }
            });
    std::thread reader(
        [&done]
        {
            std::string line;
            std::size_t lines = 0;
            for (bool last = false; !last;)  // once more after the others are done
            {
                last = done.load();
                QUORVEL::logstream.clear();
                while (std::getline(QUORVEL::logstream, line))
                {
                    expect(messages(line).at(0).rfind("MALFORMED", 0) != 0, "a whole line");
                    ++lines;
                }
            }
            expect(lines == total, "the reader saw every line");
        });
    for (auto& th : pool) th.join();
    done = true;
    reader.join();

    const std::vector<std::string> log = messages(QUORVEL::logstream.str());
    expect(log.size() == total, "every line is there");
    expect(std::equal(log.begin(), log.begin() + 4, startupmessages().begin()), "start-up first");
    for (const char* m : {"First fixedint/fixedfloat object created!", "Done. Init Successful"})
        expect(std::count(log.begin(), log.end(), m) == 1, "start-up once");
    for (int t = 0; t < threads; ++t)
        expect(std::count(log.begin(), log.end(), "thread " + std::to_string(t)) == rounds,
               "each thread's lines");
    expect(std::count(log.begin(), log.end(), "Deleted fixedint object.") ==
               threads * (rounds * 2 + 1),
           "every deletion");
    expect(std::get_terminate() == QUORVEL::logdumper && QUORVEL::oldtermfunc == oldhandler,
           "the handler installed once");
    std::_Exit(0);
}

TEST(ThreadsDeathTest, ShareTheLogAndStartTheModuleOnce)
{
    SKIP_UNDER_EMULATOR();
    EXPECT_EXIT(threadsharingthelog(), testing::ExitedWithCode(0), "");
}
}  // namespace
