// The built velmora-cli refuses a profile whose reading stopped early.
#include "CliProcess.h"
#include "cli/ExitStatus.h"

#include <gtest/gtest.h>

namespace velmora::cli::test {
namespace {

using velmora::test::TempDir;

TEST(CliDamagedProfile, IsRefusedWithSixtySixNamingTheLineAndChangesNothing) {
    TempDir dir;
    dir.writeFile("src/new.txt", "new");
    dir.writeFile("dst/keep.tmp", "protected");
    // Cut off inside its exclusion list: the wildcard that protects keep.tmp was never read.
    const std::string path = dir.writeFile("cut.vmp", "velmora_version=1.09\r\nlocation1=" + dir.at("src/") +
                                                          "\r\nlocation2=" + dir.at("dst/") +
                                                          "\r\nauto_start=1\r\ncheck_actions=0\r\n"
                                                          "exclusions=\r\nend_exclusions\r\n"
                                                          "wildcard_exclusions=\r\n*.tm");
    const CliResult result = runCli(dir, {path});
    EXPECT_EQ(result.status, kExitNoInput);
    EXPECT_NE(result.err.find(path + " is damaged: reading stopped at line 9 (exclusions). Check the profile "
                                     "before you run it."),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(TempDir::exists(dir.at("dst/keep.tmp")));
    EXPECT_FALSE(TempDir::exists(dir.at("dst/new.txt")));
}

} // namespace
} // namespace velmora::cli::test
