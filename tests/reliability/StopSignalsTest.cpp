// Ctrl-C, SIGTERM (kill, timeout(1), systemctl stop) and SIGHUP (a closed terminal) stop a run as
// the Stop button does: the report and the log say so, nothing half-copied is left, exit status 3.
#include "CliChild.h"

#include <csignal>
#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using testing::HasSubstr;
using testing::IsEmpty;

constexpr int kWaitForCopyMillis = 60000;

void writeBigFile(const std::string& path, std::size_t mebibytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    const std::string block(1u << 20, 'x');
    for (std::size_t i = 0; i < mebibytes; ++i)
        ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), file), block.size());
    ASSERT_EQ(std::fclose(file), 0);
}

struct SignalCase {
    int signal;
    const char* loggedAs;
};

TEST(StopSignalsTest, EachStopSignalEndsTheRunWithItsReportAndLog) {
    TempDir dir;
    dir.makeFolder("src");
    for (int i = 0; i < 4; ++i)
        writeBigFile(dir.at("src/big" + std::to_string(i) + ".bin"), 64);
    const SignalCase cases[] = {
        {SIGINT, "Synchronisation interrupted by Ctrl-C (SIGINT)"},
        {SIGTERM, "Synchronisation interrupted by the signal SIGTERM"},
        {SIGHUP, "Synchronisation interrupted by the signal SIGHUP"},
    };
    for (const SignalCase& c : cases) {
        SCOPED_TRACE(c.loggedAs);
        const std::string target = "dst" + std::to_string(c.signal);
        const std::string log = dir.at(target + ".log");
        CliChild child(dir, {"--yes", "-j", "1", "--log=" + log, dir.at("src"), dir.at(target)});
        ASSERT_TRUE(child.waitForCopyIn(dir.at(target), kWaitForCopyMillis)) << child.err();
        child.kill(c.signal);
        EXPECT_EQ(child.wait(), 3) << child.err();
        EXPECT_THAT(child.out(), testing::StartsWith("Synchronisation interrupted\n"));
        const std::string written = TempDir::readFile(log);
        EXPECT_THAT(written, HasSubstr("Synchronisation completed at:"));
        EXPECT_THAT(written, HasSubstr(c.loggedAs));
        EXPECT_THAT(written, HasSubstr("Results Summary:"));
        EXPECT_THAT(dir.temporaryFiles(target), IsEmpty());
    }
}

TEST(StopSignalsTest, ASecondSignalEndsTheProgramAtOnce) {
    TempDir dir;
    dir.makeFolder("src");
    for (int i = 0; i < 4; ++i)
        writeBigFile(dir.at("src/big" + std::to_string(i) + ".bin"), 64);
    CliChild child(dir, {"--yes", "-j", "1", dir.at("src"), dir.at("dst")});
    ASSERT_TRUE(child.waitForCopyIn(dir.at("dst"), kWaitForCopyMillis)) << child.err();
    child.kill(SIGTERM);
    child.kill(SIGTERM);
    const int status = child.wait();
    // The first may already have ended the run when the second comes: then it is a clean stop.
    EXPECT_TRUE(status == -SIGTERM || status == 3) << status;
    EXPECT_THAT(dir.temporaryFiles("dst"), IsEmpty());
}

} // namespace
} // namespace velmora::test
