// A run's own log file, kept inside one of its locations, is never one of the files it
// synchronises: neither deleted nor overwritten in the target, nor copied from the source.
#include "CliChild.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::test {
namespace {

int headersIn(const std::string& log) {
    int count = 0;
    for (std::size_t at = log.find("Synchronisation started at:"); at != std::string::npos;
         at = log.find("Synchronisation started at:", at + 1))
        ++count;
    return count;
}

TEST(OwnLogTest, ALogInsideALocationIsNeverSynchronised) {
    TempDir dir;
    dir.writeFile("src/a.txt", "a");
    dir.writeFile("dst/stale.txt", "stale");
    auto runLoggingTo = [&](const std::string& log) {
        CliChild child(dir, {"--yes", "-q", "--log=" + log, "--log-append", dir.at("src"), dir.at("dst")});
        EXPECT_EQ(child.wait(), 0) << child.out() << child.err();
    };

    runLoggingTo(dir.at("dst/sync.log"));
    runLoggingTo(dir.at("dst/sync.log"));
    EXPECT_EQ(headersIn(TempDir::readFile(dir.at("dst/sync.log"))), 2);
    EXPECT_FALSE(TempDir::exists(dir.at("dst/stale.txt")));

    runLoggingTo(dir.at("src/sync.log"));
    EXPECT_EQ(headersIn(TempDir::readFile(dir.at("src/sync.log"))), 1);
    std::vector<std::string> trees = dir.listTree();
    std::erase_if(trees, [](const std::string& path) { return path.starts_with(".cli-"); });
    EXPECT_EQ(trees, (std::vector<std::string>{"dst/", "dst/a.txt", "src/", "src/a.txt", "src/sync.log"}));
}

} // namespace
} // namespace velmora::test
