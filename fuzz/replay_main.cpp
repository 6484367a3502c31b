// A main for builds without libFuzzer (g++): replays every file of the given corpus folders,
// then 2,000 random inputs from a fixed seed (QUORVEL_FUZZ_SEED overrides the seed, which is
// printed, and QUORVEL_FUZZ_RUNS the count), so a committed corpus and any crash file in it are a
// regression test.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    std::size_t files = 0;
    for (int i = 1; i < argc; ++i)
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i]))
        {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                                  std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++files;
        }
    const char* env = std::getenv("QUORVEL_FUZZ_SEED");
    const unsigned seed =
        env != nullptr ? static_cast<unsigned>(std::strtoul(env, nullptr, 10)) : 20261209u;
    std::printf("replayed %zu corpus files; random inputs from seed %u\n", files, seed);
    std::mt19937 rng(seed);
    const char* runsenv = std::getenv("QUORVEL_FUZZ_RUNS");
    const long runs = runsenv != nullptr ? std::atol(runsenv) : 2000;
    for (long run = 0; run < runs; ++run)
    {
        std::vector<std::uint8_t> bytes(rng() % 600);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%ld random inputs passed\n", runs);
    return 0;
}
