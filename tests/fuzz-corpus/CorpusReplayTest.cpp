#include "FuzzEntries.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace velmora::fuzz {
namespace {

namespace fs = std::filesystem;

// Every seed and every input that once failed goes through the same entry functions as the fuzz
// targets, here without libFuzzer, under the sanitizers of the normal test build.
class CorpusReplay : public ::testing::TestWithParam<Target> {};

std::vector<fs::path> inputsOf(const std::string& target, const char* folder) {
    std::vector<fs::path> files;
    const fs::path dir = fs::path(VELMORA_FUZZ_DIR) / folder / target;
    if (!fs::is_directory(dir))
        return files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.' &&
            entry.path().extension() != ".md")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST_P(CorpusReplay, EveryInputKeepsTheInvariants) {
    const Target target = GetParam();
    const auto seeds = inputsOf(target.name, "corpus");
    EXPECT_FALSE(seeds.empty()) << "no seed corpus for " << target.name;
    auto inputs = seeds;
    const auto regressions = inputsOf(target.name, "crash-regressions");
    inputs.insert(inputs.end(), regressions.begin(), regressions.end());

    std::string current;
    setFailureHandler([&current](const std::string& name, const std::string& what) {
        ADD_FAILURE() << name << " on " << current << ": " << what;
    });
    for (const fs::path& input : inputs) {
        current = input.string();
        target.run(contentsOf(input));
    }
    setFailureHandler(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay, ::testing::ValuesIn(targets()),
                         [](const ::testing::TestParamInfo<Target>& testCase) {
                             return std::string(testCase.param.name);
                         });

} // namespace
} // namespace velmora::fuzz
