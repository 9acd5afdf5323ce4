// The built program refuses a run whose source and target are the same folder or one inside the
// other, also when a link hides it, before anything changes.
#include "CliChild.h"

#include <cerrno>
#include <cstring>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>

namespace velmora::test {
namespace {

struct Nesting {
    const char* name;
    const char* source; // relative to the test's folder
    const char* target;
    const char* reason;
};

class NestedLocationsTest : public testing::TestWithParam<Nesting> {};

TEST_P(NestedLocationsTest, IsRefusedWithExitStatusTwoBeforeAnythingChanges) {
    const Nesting& nesting = GetParam();
    TempDir dir;
    dir.writeFile("tree/a.txt", "a");
    dir.writeFile("tree/inner/b.txt", "b");
    dir.writeFile("tree/inner/deeper/c.txt", "c");
    dir.makeLink("link", "tree");
    const std::vector<std::string> before = dir.listTree();

    CliChild child(dir, {"--yes", dir.at(nesting.source), dir.at(nesting.target)});
    EXPECT_EQ(child.wait(), 2) << child.err();
    EXPECT_TRUE(child.out().starts_with("Synchronisation failed\n")) << child.out();
    // The problems are errors: stderr.
    const std::string err = child.err();
    EXPECT_NE(
        err.find("Some problems were encountered:\n  CSynchroniserDlg::synchronise: Could not synchronise "),
        std::string::npos)
        << err;
    EXPECT_NE(err.find(std::string("\n  ") + nesting.reason + "\n"), std::string::npos) << err;
    std::vector<std::string> after = dir.listTree();
    std::erase_if(after, [](const std::string& path) { return path.starts_with(".cli-"); });
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, NestedLocationsTest,
    testing::Values(
        Nesting{"Same", "tree", "tree/", "The source and the target are the same folder"},
        Nesting{"SameThroughALink", "tree", "link", "The source and the target are the same folder"},
        Nesting{"SameWithDotDot", "tree/inner/..", "tree", "The source and the target are the same folder"},
        Nesting{"TargetInside", "tree", "tree/inner", "The target folder is inside the source folder"},
        Nesting{"TargetInsideThroughALink", "tree", "link/inner/deeper",
                "The target folder is inside the source folder"},
        Nesting{"SourceInside", "tree/inner", "tree", "The source folder is inside the target folder"},
        Nesting{"SourceInsideThroughALink", "link/inner", "tree",
                "The source folder is inside the target folder"}),
    [](const testing::TestParamInfo<Nesting>& testCase) { return std::string(testCase.param.name); });

// The same folder at a second path, which no comparison of paths can see: the reproductions of
// `mount --bind s/sub bm; velmora-cli --yes s bm` and of `mount --bind s bm; velmora-cli s bm`,
// both ways round.
struct BindMount {
    const char* name;
    const char* mounted; // bound at "bm"
    const char* source;
    const char* target;
    std::string (*reason)(const TempDir& dir);
};

class BindMountTest : public testing::TestWithParam<BindMount> {};

std::string subFolderReason(const TempDir& dir) {
    return "The source and target locations overlap: " + dir.at("tree/") + "sub is the same folder as " +
           dir.at("bm");
}

std::string sameFolderReason(const TempDir&) {
    return "The source and the target are the same folder";
}

TEST_P(BindMountTest, FailsTheRunBeforeAnythingChanges) {
    const BindMount& c = GetParam();
    TempDir dir;
    dir.writeFile("tree/a.txt", "a");
    dir.writeFile("tree/sub/precious.txt", "precious");
    dir.makeFolder("bm");
    if (::mount(dir.at(c.mounted).c_str(), dir.at("bm").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot bind-mount here: " << std::strerror(errno);
    const std::vector<std::string> before = dir.listTree();

    CliChild child(dir, {"--yes", dir.at(c.source), dir.at(c.target)});
    const int status = child.wait();
    std::vector<std::string> after = dir.listTree();
    ::umount2(dir.at("bm").c_str(), MNT_DETACH);

    EXPECT_EQ(status, 2) << child.err();
    EXPECT_TRUE(child.out().starts_with("Synchronisation failed\n")) << child.out();
    EXPECT_NE(child.err().find("\n  " + c.reason(dir) + "\n"), std::string::npos) << child.err();
    std::erase_if(after, [](const std::string& path) { return path.starts_with(".cli-"); });
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, BindMountTest,
    testing::Values(BindMount{"TargetMountedInsideTheSource", "tree/sub", "tree", "bm", subFolderReason},
                    BindMount{"SourceMountedInsideTheTarget", "tree/sub", "bm", "tree", subFolderReason},
                    BindMount{"TargetIsTheSourceMounted", "tree", "tree", "bm", sameFolderReason},
                    BindMount{"SourceIsTheTargetMounted", "tree", "bm", "tree", sameFolderReason}),
    [](const testing::TestParamInfo<BindMount>& testCase) { return std::string(testCase.param.name); });

} // namespace
} // namespace velmora::test
